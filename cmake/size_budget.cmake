# Fails the build when FILE is larger than LIMIT bytes.
# Usage: cmake -DFILE=path -DLIMIT=bytes -P size_budget.cmake
file(SIZE "${FILE}" size)
if(size GREATER LIMIT)
    message(FATAL_ERROR "${FILE}: ${size} bytes, over its budget of ${LIMIT}")
endif()
