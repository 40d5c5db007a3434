#pragma once

// Test signals need pi; the C library's M_PI is not standard C++.
constexpr double kPi = 3.14159265358979323846;
