// Access to the committed test data under tests/data.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace promo::test {

// Full path of a file under tests/data (a Unix path natively, a Z:\ path under Wine).
std::string DataPath(const std::string& relative);

// The bytes of a file under tests/data; empty when it cannot be read.
std::vector<std::uint8_t> ReadDataFile(const std::string& relative);

}  // namespace promo::test
