// Helpers shared by the tests.
#pragma once

#include <gtest/gtest.h>

#include <iostream>
#include <sstream>
#include <string>

#include "Common/Exceptions.h"

// Expects stmt to throw FileTools::Error with exactly the message msg.
#define EXPECT_FILE_ERROR(stmt, msg)                                         \
  do {                                                                       \
    try {                                                                    \
      stmt;                                                                  \
      ADD_FAILURE() << "no FileTools::Error from " #stmt;                    \
    } catch (const ::mirk::FileTools::Error& e) {                            \
      EXPECT_EQ(e.GetMessage(), std::string(msg));                           \
    }                                                                        \
  } while (0)

// Expects stmt to throw TException with exactly this message, category, where.
#define EXPECT_TEXCEPTION(stmt, msg, cat, wh)                                \
  do {                                                                       \
    try {                                                                    \
      stmt;                                                                  \
      ADD_FAILURE() << "no TException from " #stmt;                          \
    } catch (const ::mirk::TException& e) {                                  \
      EXPECT_STREQ(e.GetMessage(), msg);                                     \
      EXPECT_STREQ(e.GetCategory(), cat);                                    \
      EXPECT_STREQ(e.GetWhere(), wh);                                        \
    }                                                                        \
  } while (0)

namespace mirk::test {

// Captures what is written to std::cout or std::cerr while alive.
class CaptureStream {
 public:
  explicit CaptureStream(std::ostream& stream) : stream_(stream), old_(stream.rdbuf(buffer_.rdbuf())) {}
  ~CaptureStream() { stream_.rdbuf(old_); }
  CaptureStream(const CaptureStream&) = delete;
  CaptureStream& operator=(const CaptureStream&) = delete;
  std::string Text() const { return buffer_.str(); }

 private:
  std::ostream& stream_;
  std::ostringstream buffer_;
  std::streambuf* old_;
};

}  // namespace mirk::test
