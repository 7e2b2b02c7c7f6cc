# Turns data/english_priors.tsv (keys<TAB>share<TAB>capital share<TAB>...) into
# the C++ table of
# app/pipeline/english_priors.h: cmake -DIN=tsv -DOUT=cpp -P priorsgen.cmake
file(STRINGS ${IN} lines ENCODING UTF-8)
set(entries "")
set(count 0)
set(previous "")
foreach(line IN LISTS lines)
  if(line STREQUAL "")
    continue()
  endif()
  string(REPLACE "\t" ";" fields "${line}")
  list(GET fields 0 keys)
  list(GET fields 1 share)
  list(GET fields 2 capital)
  if(capital STREQUAL "-")
    set(capital -1)
  endif()
  if(NOT keys MATCHES "^[a-z]+$" OR NOT share MATCHES "^[0-9]+$" OR share GREATER 1000
     OR NOT capital MATCHES "^(-1|[0-9]+)$" OR capital GREATER 1000)
    message(FATAL_ERROR "${IN}: bad line [${line}]")
  endif()
  if(NOT previous STREQUAL "" AND NOT keys STRGREATER previous)
    message(FATAL_ERROR "${IN}: [${keys}] out of order after [${previous}]")
  endif()
  set(previous "${keys}")
  string(APPEND entries "    {\"${keys}\", ${share}, ${capital}},\n")
  math(EXPR count "${count} + 1")
endforeach()
if(count EQUAL 0)
  message(FATAL_ERROR "${IN}: no entries")
endif()
file(WRITE ${OUT}.tmp "// Generated from english_priors.tsv by priorsgen.cmake.
#include \"pipeline/english_priors.h\"

namespace vanto::englishPriors {

const Entry kEntries[] = {
${entries}};
const std::size_t kEntryCount = ${count};

} // namespace vanto::englishPriors
")
file(COPY_FILE ${OUT}.tmp ${OUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUT}.tmp)
