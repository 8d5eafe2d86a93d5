// libFuzzer target for the program's argument: the text of the table
// exponent, read as a number and sizing the table, or refused.
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "fuzz/fuzz_text.h"
#include "fuzz/harness.h"
#include "protocol/cecp/arguments.h"
#include "protocol/cecp/loop.h"
#include "search/tt.h"

namespace {

// Tables up to this size are allocated too (2^12 entries of 12 bytes).
constexpr int LARGEST_ALLOCATED_EXPONENT = 12;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    harness_initialize();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // An argument is a C string: the bytes up to the first zero byte.
    char text[512];
    input_as_string(data, size, text, sizeof text);

    const int exponent = table_exponent_argument(text);
    long long expected = 0;
    reference_number(text, INT_MIN, INT_MAX, &expected);
    if (exponent != expected) harness_fail("the exponent is not the number the argument reads as");

    tt_set_size(exponent);
    const bool accepted = exponent >= TT_MIN_EXPONENT && exponent <= TT_MAX_EXPONENT;
    if (tt_entries != (accepted ? std::uint32_t{1} << exponent : 0))
        harness_fail("wrong table size");
    if (accepted && tt_mask != tt_entries - 1) harness_fail("wrong table mask");
    if (exponent <= LARGEST_ALLOCATED_EXPONENT) {
        allocate_table();
        if ((tt_table != nullptr) != accepted)
            harness_fail("a table allocated for a refused size, or none for a good one");
        tt_release();
    }
    return 0;
}
