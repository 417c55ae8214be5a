#pragma once

// Shared by the VB-rule tables: readable case names and readable QStrings in failures.

#include <QString>

#include <gtest/gtest.h>

#include <ostream>
#include <string>

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace quibo::vb::test {

// Names each parameterised case after its `name` field.
struct CaseName {
    template <class Case> std::string operator()(const ::testing::TestParamInfo<Case>& info) const {
        return info.param.name;
    }
};

} // namespace quibo::vb::test
