#pragma once
// The words of a PDF file with their boxes, as poppler's `pdftotext -bbox` reads them: for
// checking where printed text landed. Coordinates are in points from the page's top-left corner.

#include <array>
#include <cstdio>
#include <regex>
#include <string>
#include <vector>

namespace vendaro::test {

struct PdfWord {
  int page;  ///< 1-based
  double xMin, yMin, xMax, yMax;
  std::string text;  ///< UTF-8 as pdftotext gives it (not normalized)
};

struct PdfText {
  int pages = 0;
  std::vector<PdfWord> words;
};

inline std::string unescapeXml(std::string s) {
  const std::pair<const char*, const char*> entities[] = {
      {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}};
  for (const auto& [from, to] : entities)
    for (std::size_t at; (at = s.find(from)) != std::string::npos;) s.replace(at, std::string(from).size(), to);
  return s;
}

inline PdfText readPdfText(const std::string& path) {
  PdfText out;
  const std::string command = "pdftotext -bbox '" + path + "' - 2>/dev/null";
  FILE* p = popen(command.c_str(), "r");
  if (!p) return out;
  std::string html;
  std::array<char, 4096> buf{};
  std::size_t n;
  while ((n = fread(buf.data(), 1, buf.size(), p)) > 0) html.append(buf.data(), n);
  pclose(p);
  static const std::regex word(
      R"re(<word xMin="([-0-9.]+)" yMin="([-0-9.]+)" xMax="([-0-9.]+)" yMax="([-0-9.]+)">([^<]*)</word>)re");
  std::size_t lineStart = 0;
  while (lineStart < html.size()) {
    std::size_t lineEnd = html.find('\n', lineStart);
    if (lineEnd == std::string::npos) lineEnd = html.size();
    const std::string line = html.substr(lineStart, lineEnd - lineStart);
    lineStart = lineEnd + 1;
    if (line.find("<page ") != std::string::npos) ++out.pages;
    std::smatch m;
    if (std::regex_search(line, m, word))
      out.words.push_back({out.pages, std::stod(m[1]), std::stod(m[2]), std::stod(m[3]), std::stod(m[4]),
                           unescapeXml(m[5])});
  }
  return out;
}

}  // namespace vendaro::test
