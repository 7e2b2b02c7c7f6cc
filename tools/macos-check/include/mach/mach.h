// Stand-in for mach/mach.h of the macOS SDK: the Mach types the IOKit and
// process adapters use, the calling task, and task_info with the VM-info
// flavour (whose phys_footprint is the footprint the system reports).
#pragma once

#include <stdint.h>

typedef unsigned int natural_t;
typedef int integer_t;
typedef int kern_return_t;
typedef natural_t mach_port_name_t;
typedef natural_t mach_port_t;
typedef mach_port_t task_t;
typedef mach_port_t task_name_t;
typedef natural_t mach_msg_type_number_t;
typedef natural_t task_flavor_t;
typedef integer_t* task_info_t;
typedef uint64_t mach_vm_address_t;
typedef uint64_t mach_vm_size_t;

#define KERN_SUCCESS 0
#define KERN_INVALID_ARGUMENT 4
#define MACH_PORT_NULL ((mach_port_t)0)

#define TASK_VM_INFO 22

#pragma pack(push, 4)
struct task_vm_info {
    mach_vm_size_t virtual_size;
    integer_t region_count;
    integer_t page_size;
    mach_vm_size_t resident_size;
    mach_vm_size_t resident_size_peak;
    mach_vm_size_t device;
    mach_vm_size_t device_peak;
    mach_vm_size_t internal;
    mach_vm_size_t internal_peak;
    mach_vm_size_t external;
    mach_vm_size_t external_peak;
    mach_vm_size_t reusable;
    mach_vm_size_t reusable_peak;
    mach_vm_size_t purgeable_volatile_pmap;
    mach_vm_size_t purgeable_volatile_resident;
    mach_vm_size_t purgeable_volatile_virtual;
    mach_vm_size_t compressed;
    mach_vm_size_t compressed_peak;
    mach_vm_size_t compressed_lifetime;
    // Revision 1 of the layout.
    mach_vm_size_t phys_footprint;
    // Revision 2. Later revisions append more fields, which the adapters
    // never read.
    mach_vm_address_t min_address;
    mach_vm_address_t max_address;
};
#pragma pack(pop)
typedef struct task_vm_info task_vm_info_data_t;
typedef struct task_vm_info* task_vm_info_t;

#define TASK_VM_INFO_COUNT \
    ((mach_msg_type_number_t)(sizeof(task_vm_info_data_t) / sizeof(natural_t)))
// Older kernels fill fewer words; phys_footprint is there from revision 1.
#define TASK_VM_INFO_REV1_COUNT \
    ((mach_msg_type_number_t)(__builtin_offsetof(task_vm_info_data_t, min_address) / \
                              sizeof(natural_t)))

extern "C" {
extern mach_port_t mach_task_self_;
#define mach_task_self() mach_task_self_

kern_return_t task_info(task_name_t target_task, task_flavor_t flavor, task_info_t task_info_out,
                        mach_msg_type_number_t* task_info_outCnt);
kern_return_t mach_port_deallocate(task_t task, mach_port_name_t name);
}
