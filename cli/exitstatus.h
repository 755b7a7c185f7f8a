#pragma once

namespace exitstatus {
constexpr int Success = 0;
constexpr int Failure = 1; // a file could not be read or written
constexpr int Usage = 2;
} // namespace exitstatus
