// Port: who is logged in — the system's login records and the current user.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vanto {

struct LoginRecord {
    bool userProcess = false; // a login session, not a boot or dead-process record
    std::string user;
    std::string line;         // the terminal line; "console" for the graphical login
    std::int64_t seconds = 0; // since 1970
};

class LoginRecords {
  public:
    virtual ~LoginRecords() = default;
    // Every record of the login database, oldest first as the system keeps them.
    virtual std::vector<LoginRecord> records() = 0;
    virtual std::string currentUserName() = 0;
    virtual std::uint32_t currentUserID() = 0;
};

} // namespace vanto
