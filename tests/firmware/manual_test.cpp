// The manual's worked examples, run key by key: every example in
// firmware/manual/*.html gives, for each row of its key table, the keys, the
// display and the lamps after them; the complete list of values "=" steps
// through (checked against the number of results the firmware holds); and
// the printout. The pages are the only place these expectations are written,
// so the help book cannot drift from what the firmware does.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "firmware_harness.h"

using namespace fwtest;
namespace fs = std::filesystem;

namespace {

struct Row {
  std::string keys, shown, lamps;
};

struct Example {
  std::string page, title, printKeys, paper;
  std::vector<Row> rows;
  std::vector<std::string> steps;  // the values further "=" show, then the one that comes round
};

std::string Unescape(std::string text) {
  const std::pair<const char*, const char*> entities[] = {
      {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&#x27;", "'"}, {"&ndash;", "-"}, {"&amp;", "&"}};
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

// The text inside each <tag>...</tag> in `text`, in order.
std::vector<std::string> Inner(const std::string& text, const std::string& tag) {
  std::vector<std::string> found;
  const std::string open = "<" + tag + ">", close = "</" + tag + ">";
  for (size_t at = text.find(open); at != std::string::npos; at = text.find(open, at + 1)) {
    const size_t end = text.find(close, at);
    found.push_back(Unescape(text.substr(at + open.size(), end - at - open.size())));
  }
  return found;
}

std::string Between(const std::string& text, size_t from, const std::string& open, const std::string& close) {
  const size_t at = text.find(open, from);
  if (at == std::string::npos) return {};
  return text.substr(at + open.size(), text.find(close, at) - at - open.size());
}

std::vector<Example> LoadExamples() {
  std::vector<Example> examples;
  for (const auto& entry : fs::directory_iterator(FIRMWARE_MANUAL_DIR)) {
    if (entry.path().extension() != ".html") continue;
    const std::string text = Slurp(entry.path());
    for (size_t at = text.find("<div class=\"example\""); at != std::string::npos;
         at = text.find("<div class=\"example\"", at + 1)) {
      const std::string body = text.substr(at, text.find("</div>", at) - at);
      Example example;
      example.page = entry.path().filename().string();
      example.title = Between(body, 0, "<h3>", "</h3>");
      example.printKeys = Attribute(body.substr(0, body.find('>')), "data-print-keys");
      for (size_t row = body.find("<tr data-keys"); row != std::string::npos; row = body.find("<tr data-keys", row + 1)) {
        const std::string tr = body.substr(row, body.find("</tr>", row) - row);
        const auto cells = Inner(tr, "td");
        example.rows.push_back({Attribute(tr, "data-keys"), Inner(tr, "samp").at(0), cells.size() > 2 ? cells[2] : ""});
      }
      example.steps = Inner(Between(body, 0, "<p class=\"steps\">", "</p>"), "samp");
      example.paper = Unescape(Between(body, 0, "<pre class=\"paper\">\n", "</pre>"));
      examples.push_back(example);
    }
  }
  return examples;
}

std::string Trimmed(std::string shown) {
  shown.erase(0, shown.find_first_not_of(' '));
  return shown.empty() ? "(blank)" : shown;
}

TEST(Manual, ExamplesShowStepAndPrintWhatThePagesSay) {
  const auto examples = LoadExamples();
  ASSERT_GE(examples.size(), 14u);
  std::set<std::string> pages;  // every function's page has worked examples
  for (const Example& e : examples) pages.insert(e.page);
  EXPECT_EQ(pages, (std::set<std::string>{"curve.html", "dividing.html", "gauge.html", "slanting.html",
                                           "sleevecap.html", "straight.html"}));
  const uint16_t resultsHeld = LoadSymbols().at("RESN");
  for (const Example& example : examples) {
    const std::string what = example.page + " \"" + example.title + "\": ";
    ASSERT_FALSE(example.rows.empty()) << what;
    std::string keys;
    RunResult run;
    for (const Row& row : example.rows) {
      keys += (keys.empty() ? "" : " ") + row.keys;
      run = RunKeys(keys, "--peek " + Hex(resultsHeld) + ":1");
      EXPECT_EQ(run.Field("stop"), "idle") << what << keys;
      EXPECT_EQ(Trimmed(run.Shown()), row.shown) << what << keys;
      EXPECT_EQ(run.LitLamps(), row.lamps) << what << keys;
    }
    // Every result is listed once, and the list comes round to the start.
    const long held = std::stol(run.Field("peek", Hex(resultsHeld)), nullptr, 16);
    ASSERT_EQ(static_cast<long>(example.steps.size()), held) << what << "the page lists too few or many values";
    EXPECT_EQ(example.steps.back(), example.rows.back().shown) << what;
    for (const std::string& value : example.steps) {
      keys += " =";
      EXPECT_EQ(Trimmed(ShownAfter(keys)), value) << what << keys;
    }
    std::string paper;
    for (const std::string& line : RunKeys(example.printKeys).Lines()) paper += line + "\n";
    EXPECT_EQ(paper, example.paper) << what << example.printKeys;
  }
}

}  // namespace
