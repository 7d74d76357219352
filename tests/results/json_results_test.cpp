// Tests of the results document: JSON strings and the document's form.
#include "results/json_results.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qel2br::results {
namespace {

TEST(JsonString, EscapesWhatJsonAsksAndReplacesBytesThatAreNotUtf8) {
  struct Row {
    std::string name;
    std::string text;
    std::string expected;
  };
  const std::vector<Row> rows = {
      {"plain", "platform.inp", R"("platform.inp")"},
      {"empty", "", R"("")"},
      {"quote, backslash, tab and a Latin-1 byte", "a\"b\\c\td\xe9.inp",
       R"("a\"b\\c\td\ufffd.inp")"},
      {"short escapes", "\b\f\n\r\t", R"("\b\f\n\r\t")"},
      {"other control characters and DEL", std::string("\x00\x01\x1b\x1f\x7f", 5),
       R"("\u0000\u0001\u001b\u001f\u007f")"},
      {"slash stays", "a/b", R"("a/b")"},
      {"valid UTF-8 as it is", "\xc3\xa5sgard_\xc3\xb8 \xe2\x82\xac \xf0\x9f\x8c\x8a",
       "\"\xc3\xa5sgard_\xc3\xb8 \xe2\x82\xac \xf0\x9f\x8c\x8a\""},
      {"lone continuation byte", "\x80x", R"("\ufffdx")"},
      {"overlong forms", "\xc0\xaf\xe0\x80\xaf", R"("\ufffd\ufffd\ufffd\ufffd\ufffd")"},
      {"surrogate", "\xed\xa0\x80", R"("\ufffd\ufffd\ufffd")"},
      {"past U+10FFFF", "\xf4\x90\x80\x80", R"("\ufffd\ufffd\ufffd\ufffd")"},
      {"cut short at the end", "ab\xe2\x82", R"("ab\ufffd\ufffd")"},
      {"Latin-1 letters", "M\xfcller \xd8", R"("M\ufffdller \ufffd")"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(json_string(row.text), row.expected);
  }
}

TEST(RenderJson, OneEntryPerInputWithNullsWhereNothingApplies) {
  Results results{.version = "1.1", .inputs = {}};
  EXPECT_EQ(render_json(results),
            "{\n  \"format\": 1,\n  \"tool\": \"qel2br\",\n  \"version\": \"1.1\",\n"
            "  \"inputs\": []\n}\n");

  results.inputs.push_back(
      {.input = "a.inp",
       .output = "a.dat",
       .status = 0,
       .reason = std::nullopt,
       .records = {.waves = 5, .currents = 2, .profiles = 3, .element_records = 4},
       .warnings = {{.file = "a.inp",
                     .line = 12,
                     .first_column = 16,
                     .last_column = 20,
                     .kind = support::WarningKind::kFieldHoldsMore,
                     .message = "SEA card, columns 16-20: \"24,5\" holds more"},
                    {.kind = support::WarningKind::kOptionNotUsed, .message = "--groups"}},
       .stop = std::nullopt});
  results.inputs.push_back({.input = "b.inp",
                            .output = std::nullopt,
                            .status = 2,
                            .reason = "b.inp:3: DPTH card",
                            .records = {},
                            .warnings = {},
                            .stop = support::InputStop{.file = "b.inp",
                                                       .line = 3,
                                                       .first_column = 10,
                                                       .last_column = 20,
                                                       .message = "DPTH card",
                                                       .detail = "  DPTH\n"}});
  EXPECT_EQ(render_json(results),
            R"({
  "format": 1,
  "tool": "qel2br",
  "version": "1.1",
  "inputs": [
    {
      "input": "a.inp",
      "output": "a.dat",
      "status": 0,
      "reason": null,
      "records": {"wave": 5, "current": 2, "profile": 3, "element": 4, "group": 0},
      "warnings": [
        {"file": "a.inp", "line": 12, "first_column": 16, "last_column": 20, "kind": "field-holds-more", "text": "SEA card, columns 16-20: \"24,5\" holds more"},
        {"file": null, "line": null, "first_column": null, "last_column": null, "kind": "option-not-used", "text": "--groups"}
      ],
      "stop": null
    },
    {
      "input": "b.inp",
      "output": null,
      "status": 2,
      "reason": "b.inp:3: DPTH card",
      "records": {"wave": 0, "current": 0, "profile": 0, "element": 0, "group": 0},
      "warnings": [],
      "stop": {"file": "b.inp", "line": 3, "first_column": 10, "last_column": 20, "text": "DPTH card"}
    }
  ]
}
)");
}

}  // namespace
}  // namespace qel2br::results
