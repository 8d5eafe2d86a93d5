// Names for parameterised test cases, taken from the case's own description.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <string>

// The case's `name` as a test name: letters and digits, the rest as '_'.
template <typename Case>
std::string case_name(const testing::TestParamInfo<Case>& info) {
    std::string name = info.param.name;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
}
