#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

// An HRESULT (or any 32-bit code) as the eight hexadecimal digits that
// documentation and headers use, so that a failed expectation reads
// "0x80004002", not a negative decimal number.
inline std::string HexText(long value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(value));
  return text;
}

#define EXPECT_HR(expected, actual) \
  EXPECT_EQ(HexText(static_cast<long>(expected)), HexText(static_cast<long>(actual))) << #actual
