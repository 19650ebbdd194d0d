#include "runtime/format.h"

#include <gtest/gtest.h>

#include "runtime/exceptions.h"

namespace velmora {
namespace {

TEST(Format, FillsPlaceholdersInOrder) {
  EXPECT_EQ(Format("%d;entry;%s;%d", {7, "Anna", -3}), "7;entry;Anna;-3");
  EXPECT_EQ(Format("$%x is not a valid %s code point", {255, "US-ASCII"}),
            "$FF is not a valid US-ASCII code point");
  EXPECT_EQ(Format("Cannot convert $%8.8X to %s", {0x110000, "UCS-4"}),
            "Cannot convert $00110000 to UCS-4");
  EXPECT_EQ(Format("%S is not a valid XmlCharRef value.", {WideString(u"&#x\u00E4;")}),
            "&#x\u00E4; is not a valid XmlCharRef value.");
  EXPECT_EQ(Format("100%% [%5d] [%-4s] [%.2s]", {42, "ab", "xyz"}), "100% [   42] [ab  ] [xy]");
  EXPECT_EQ(Format("(%dx%d)", {1024, 768}), "(1024x768)");
  EXPECT_EQ(Format("%d", {INT64_MIN}), "-9223372036854775808");
}

TEST(Format, RefusesMissingOrMismatchedArguments) {
  EXPECT_THROW(Format("%s and %s", {"one"}), EConvertError);
  EXPECT_THROW(Format("%d", {"text"}), EConvertError);
  EXPECT_THROW(Format("%s", {5}), EConvertError);
  EXPECT_THROW(Format("%q", {5}), EConvertError);
  EXPECT_THROW(Format("trailing %", {}), EConvertError);
}

TEST(InOutError, CarriesCodeAndGermanMessage) {
  const std::pair<int, const char*> cases[] = {
      {2, "Datei nicht gefunden"},
      {3, "Ungültiger Dateiname"},
      {4, "Zu viele geöffnete Dateien"},
      {5, "Dateizugriff verweigert"},
      {100, "Versuch hinter dem Dateiende zu lesen"},
      {101, "Zu wenig Speicherplatz"},
      {106, "Ungültige numerische Eingabe"},
      {1117, "E/A-Fehler 1117"},
  };
  for (const auto& [code, message] : cases) {
    const EInOutError error(code);
    EXPECT_EQ(error.ErrorCode(), code);
    EXPECT_STREQ(error.what(), message);
    EXPECT_STREQ(error.ClassName(), "EInOutError");
  }
}

TEST(Exceptions, NameTheirClassAndKeepTheirParentage) {
  try {
    throw EFOpenError("x");
  } catch (const EStreamError& error) {
    EXPECT_STREQ(error.ClassName(), "EFOpenError");
  }
  const EStringListError listError("Item not found");
  const Exception& base = listError;
  EXPECT_STREQ(base.ClassName(), "EStringListError");
  EXPECT_EQ(base.Message(), "Item not found");
}

} // namespace
} // namespace velmora
