#include "xml/parse_errors.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(ParseErrors, SeverityFollowsFromTheKind) {
  const std::pair<int, TDomSeverity> cases[] = {{0, svWarning},   {5, svWarning},  {6, svError},
                                                {43, svError},    {44, svFatal},   {88, svWarning},
                                                {109, svWarning}, {110, svFatal},  {151, svFatal},
                                                {152, svWarning}, {255, svWarning}};
  for (const auto& [kind, severity] : cases) {
    EXPECT_EQ(SeverityOf(kind), severity) << kind;
  }
  const TDomError error(ekInvalidCharacter, u"snippet", u"clue");
  EXPECT_EQ(error.Severity(), svFatal);
  for (int64_t value : {error.StartByte(), error.StartChar(), error.StartColumn(),
                        error.StartLine(), error.StartTabs(), error.EndByte(), error.EndChar(),
                        error.EndColumn(), error.EndLine(), error.EndTabs()}) {
    EXPECT_EQ(value, -1);
  }
  EXPECT_EQ(error.DomNode(), nullptr);
  EXPECT_EQ(error.SourceUri(), u"");
  const TDomError copied({ekInvalidCharRef, &error, u"c", u"s"});
  EXPECT_EQ(copied.EndLine(), -1);
  EXPECT_EQ(copied.Snippet(), u"s");
}

} // namespace
} // namespace velmora
