// The manual's worked examples: every example in firmware/manual/*.html
// carries its keys, the values "=" steps through and the printout; each is
// run here, so the help book cannot drift from what the firmware does.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "firmware_harness.h"

using namespace fwtest;
namespace fs = std::filesystem;

namespace {

struct Example {
  std::string page, keys, printKeys, paper;
  std::vector<std::string> steps;
};

std::string Unescape(std::string text) {
  const std::pair<const char*, const char*> entities[] = {
      {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&#x27;", "'"}, {"&amp;", "&"}};
  for (const auto& [from, to] : entities) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + 1)) {
      text.replace(at, std::string(from).size(), to);
    }
  }
  return text;
}

std::string Attribute(const std::string& tag, const std::string& name) {
  const std::string key = name + "=\"";
  const size_t at = tag.find(key);
  if (at == std::string::npos) return {};
  const size_t end = tag.find('"', at + key.size());
  return Unescape(tag.substr(at + key.size(), end - at - key.size()));
}

std::vector<Example> LoadExamples() {
  std::vector<Example> examples;
  for (const auto& entry : fs::directory_iterator(FIRMWARE_MANUAL_DIR)) {
    if (entry.path().extension() != ".html") continue;
    std::ifstream in(entry.path());
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (size_t at = text.find("<div class=\"example\""); at != std::string::npos;
         at = text.find("<div class=\"example\"", at + 1)) {
      const std::string tag = text.substr(at, text.find('>', at) - at);
      Example example{entry.path().filename().string(), Attribute(tag, "data-keys"),
                      Attribute(tag, "data-print-keys"), "", {}};
      std::string steps = Attribute(tag, "data-steps");
      for (size_t from = 0;;) {
        const size_t bar = steps.find('|', from);
        example.steps.push_back(steps.substr(from, bar - from));
        if (bar == std::string::npos) break;
        from = bar + 1;
      }
      const std::string open = "<pre class=\"paper\">\n";
      const size_t pre = text.find(open, at);
      example.paper = Unescape(text.substr(pre + open.size(), text.find("</pre>", pre) - pre - open.size()));
      examples.push_back(example);
    }
  }
  std::sort(examples.begin(), examples.end(), [](const Example& a, const Example& b) { return a.keys < b.keys; });
  return examples;
}

std::string Trimmed(std::string shown) {
  shown.erase(0, shown.find_first_not_of(' '));
  return shown.empty() ? "(blank)" : shown;
}

TEST(Manual, EveryFunctionPageHasWorkedExamples) {
  const auto examples = LoadExamples();
  for (const char* page : {"gauge.html", "straight.html", "dividing.html", "slanting.html", "curve.html",
                           "sleevecap.html"}) {
    EXPECT_TRUE(std::any_of(examples.begin(), examples.end(), [&](const Example& e) { return e.page == page; }))
        << page;
  }
  EXPECT_TRUE(fs::exists(fs::path(FIRMWARE_MANUAL_DIR) / "index.html"));
}

TEST(Manual, ExamplesShowAndPrintWhatThePagesSay) {
  const auto examples = LoadExamples();
  ASSERT_GE(examples.size(), 12u);
  for (const Example& example : examples) {
    std::string keys = example.keys;
    for (size_t i = 0; i < example.steps.size(); ++i) {
      if (i) keys += " =";
      EXPECT_EQ(Trimmed(ShownAfter(keys)), example.steps[i]) << example.page << ": " << keys;
    }
    std::string paper;
    for (const std::string& line : RunKeys(example.printKeys).Lines()) paper += line + "\n";
    EXPECT_EQ(paper, example.paper) << example.page << ": " << example.printKeys;
  }
}

}  // namespace
