// A temporary stream that a test hands to the code under test as its
// console or diagnostics, and reads back.
#ifndef TALLORA_TESTS_SUPPORT_CAPTURED_STREAM_H_
#define TALLORA_TESTS_SUPPORT_CAPTURED_STREAM_H_

#include <cstdio>
#include <string>

namespace tallora::testing {

class CapturedStream {
 public:
  CapturedStream() : file_(std::tmpfile()) {}
  ~CapturedStream() { std::fclose(file_); }
  CapturedStream(const CapturedStream&) = delete;
  CapturedStream& operator=(const CapturedStream&) = delete;

  std::FILE* file() const { return file_; }

  // Everything written to the stream so far.
  std::string Text() const {
    std::fflush(file_);
    std::rewind(file_);
    std::string text;
    char chunk[4096];
    for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, file_)) > 0;) {
      text.append(chunk, n);
    }
    return text;
  }

 private:
  std::FILE* file_;
};

}  // namespace tallora::testing

#endif  // TALLORA_TESTS_SUPPORT_CAPTURED_STREAM_H_
