// Small helpers shared by the readers of the host's text files (scenarios, key scripts, class files): every file is
// untrusted input, so numbers are read whole and finite, and what stood in the file is quoted back safely in messages.
#pragma once

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace host::text {

inline bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

inline std::string Trim(const std::string& s) {
  std::size_t b = 0, e = s.size();
  while (b < e && IsSpace(s[b])) ++b;
  while (e > b && IsSpace(s[e - 1])) --e;
  return s.substr(b, e - b);
}

// Splits at runs of white space.
inline std::vector<std::string> Words(const std::string& s) {
  std::vector<std::string> out;
  std::size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && IsSpace(s[i])) ++i;
    std::size_t b = i;
    while (i < s.size() && !IsSpace(s[i])) ++i;
    if (i > b) out.push_back(s.substr(b, i - b));
  }
  return out;
}

// The lines of a text, without their line ends ("\n", "\r\n").
inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  std::size_t b = 0;
  while (b <= text.size()) {
    std::size_t e = text.find('\n', b);
    if (e == std::string::npos) e = text.size();
    std::string line = text.substr(b, e - b);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (e < text.size() || !line.empty()) out.push_back(std::move(line));
    b = e + 1;
  }
  return out;
}

inline bool EqualNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

// A whole word as a finite real ("nan", "inf" and trailing characters are refused).
inline bool ToReal(const std::string& word, double& out) {
  if (word.empty() || IsSpace(word[0])) return false;
  errno = 0;
  char* end = nullptr;
  double v = std::strtod(word.c_str(), &end);
  if (end != word.c_str() + word.size() || !std::isfinite(v)) return false;
  out = v;
  return true;
}

// A whole word as a decimal integer within int.
inline bool ToInt(const std::string& word, int& out) {
  if (word.empty() || IsSpace(word[0])) return false;
  errno = 0;
  char* end = nullptr;
  long v = std::strtol(word.c_str(), &end, 10);
  if (end != word.c_str() + word.size() || errno == ERANGE || v < INT_MIN || v > INT_MAX) return false;
  out = static_cast<int>(v);
  return true;
}

// Text from a file as it may be shown in a message: control bytes escaped, long text cut.
inline std::string Quote(const std::string& s) {
  constexpr std::size_t kMaxShown = 120;
  std::string out;
  for (std::size_t i = 0; i < s.size() && i < kMaxShown; ++i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x20 || c == 0x7F) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02X", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  if (s.size() > kMaxShown) out += "...";
  return out;
}

// "<path>:<line>: expected <what>, got '<text>'"
inline std::string Expected(const std::string& path, int line, const std::string& what, const std::string& got) {
  return path + ":" + std::to_string(line) + ": expected " + what + ", got '" + Quote(got) + "'";
}

// The first byte the readers refuse in a text line (control characters other than tab), or -1.
inline int FirstControlByte(const std::string& s) {
  for (std::size_t i = 0; i < s.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if ((c < 0x20 && c != '\t' && c != '\r') || c == 0x7F) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace host::text
