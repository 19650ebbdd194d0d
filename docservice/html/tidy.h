#pragma once
// TTidy: the HTML Tidy library as a component with properties. CleanText runs one
// cleaning of a text on a fresh library document. Around the library's parse, clean,
// diagnostics and save the wrapper can recognise the markup language, protect scripts,
// teach the library unknown tags for a second pass, merge split forms, repeat cleaning
// until the output is stable, and write every report and a summary to an error file.

#include <cstdint>
#include <exception>
#include <memory>
#include <string_view>

#include "docservice/html/tidy_types.h"
#include "docservice/html/unknown_tags.h"
#include "runtime/component.h"
#include "runtime/exceptions.h"
#include "runtime/strings.h"

namespace velmora {

VELMORA_EXCEPTION_CLASS(ETidyError, Exception);

// Boolean properties that pass straight through to a library option. The second name is
// the library option; TidyUnknownOption marks one the installed library no longer has.
#define VELMORA_TIDY_FLAG_PROPERTIES(X)                                                            \
  X(ReplaceColor, TidyReplaceColor)                                                                \
  X(ShowWarnings, TidyShowWarnings)                                                                \
  X(Quiet, TidyQuiet)                                                                              \
  X(HideEndTags, TidyOmitOptionalTags)                                                             \
  X(XmlTags, TidyXmlTags)                                                                          \
  X(AddXmlDecl, TidyXmlDecl)                                                                       \
  X(UpperCaseTags, TidyUpperCaseTags)                                                              \
  X(UpperCaseAttrs, TidyUpperCaseAttrs)                                                            \
  X(MakeBare, TidyMakeBare)                                                                        \
  X(MakeClean, TidyMakeClean)                                                                      \
  X(LogicalEmphasis, TidyLogicalEmphasis)                                                          \
  X(DropPropAttrs, TidyDropPropAttrs)                                                              \
  X(DropFontTags, TidyUnknownOption)                                                               \
  X(DropEmptyParas, TidyDropEmptyParas)                                                            \
  X(FixComments, TidyFixComments)                                                                  \
  X(BreakBeforeBR, TidyBreakBeforeBR)                                                              \
  X(NumEntities, TidyNumEntities)                                                                  \
  X(QuoteMarks, TidyQuoteMarks)                                                                    \
  X(QuoteNbsp, TidyQuoteNbsp)                                                                      \
  X(QuoteAmpersand, TidyQuoteAmpersand)                                                            \
  X(WrapAttVals, TidyWrapAttVals)                                                                  \
  X(WrapScriptlets, TidyWrapScriptlets)                                                            \
  X(WrapSection, TidyWrapSection)                                                                  \
  X(WrapAsp, TidyWrapAsp)                                                                          \
  X(WrapJste, TidyWrapJste)                                                                        \
  X(WrapPhp, TidyWrapPhp)                                                                          \
  X(FixBackslash, TidyFixBackslash)                                                                \
  X(IndentAttributes, TidyIndentAttributes)                                                        \
  X(XmlPIs, TidyXmlPIs)                                                                            \
  X(XmlSpace, TidyXmlSpace)                                                                        \
  X(EncloseBodyText, TidyEncloseBodyText)                                                          \
  X(EncloseBlockText, TidyEncloseBlockText)                                                        \
  X(Word2000, TidyWord2000)                                                                        \
  X(Mark, TidyMark)                                                                                \
  X(LiteralAttribs, TidyLiteralAttribs)                                                            \
  X(BodyOnly, TidyBodyOnly)                                                                        \
  X(FixUri, TidyFixUri)                                                                            \
  X(LowerLiterals, TidyLowerLiterals)                                                              \
  X(HideComments, TidyHideComments)                                                                \
  X(IndentCdata, TidyIndentCdata)                                                                  \
  X(ForceOutput, TidyForceOutput)                                                                  \
  X(AsciiChars, TidyAsciiChars)                                                                    \
  X(JoinClasses, TidyJoinClasses)                                                                  \
  X(JoinStyles, TidyJoinStyles)                                                                    \
  X(EscapeCdata, TidyEscapeCdata)                                                                  \
  X(VertSpace, TidyVertSpace)                                                                      \
  X(PunctWrap, TidyPunctWrap)

class TTidy : public TComponent {
  friend struct TTidyCallbacks;

public:
  // Deeper pages are refused: the library's parser recurses per level and slows down
  // with the square of the depth.
  static constexpr size_t kMaxNestingDepth = 10000;
  // Rounds of Congruent cleaning and of the orphaned-form merge.
  static constexpr int kMaxRounds = 10;

  explicit TTidy(TComponent* owner = nullptr);
  const char* ClassName() const override { return "TTidy"; }

  // One cleaning of text; the library's output, empty when it produced none. Raises
  // ETidyError for a page nested deeper than kMaxNestingDepth, and what a report or input
  // handler raises.
  NarrowString CleanText(std::string_view text);

  // What the library wrote as its own messages during the last run.
  const NarrowString& LibraryMessages() const { return FLibraryMessages; }

  // Sets any option of the library by its configuration name ("doctype", "omit"); false
  // when the library does not know the option or refuses the value.
  bool SetLibraryOption(std::string_view name, std::string_view value);

#define VELMORA_TIDY_FLAG_ACCESSORS(Name, Option)                                                  \
  bool Name() const;                                                                               \
  void Set##Name(bool value);
  VELMORA_TIDY_FLAG_PROPERTIES(VELMORA_TIDY_FLAG_ACCESSORS)
#undef VELMORA_TIDY_FLAG_ACCESSORS

  NarrowString AltText() const;
  void SetAltText(const NarrowString& value);
  int AccessibilityCheckLevel() const;
  void SetAccessibilityCheckLevel(int value);
  int WrapLen() const;
  void SetWrapLen(int value);
  int TabSize() const;
  void SetTabSize(int value);
  int ShowErrors() const;
  void SetShowErrors(int value);
  int MergeDivs() const;
  void SetMergeDivs(int value);
  TidyEncodingID CharEncoding() const;
  void SetCharEncoding(TidyEncodingID value);
  TidyEncodingID InCharEncoding() const;
  void SetInCharEncoding(TidyEncodingID value);
  TidyEncodingID OutCharEncoding() const;
  void SetOutCharEncoding(TidyEncodingID value);
  TidyDupAttrModes DuplicateAttrs() const;
  void SetDuplicateAttrs(TidyDupAttrModes value);
  // Indentation in spaces: negative indents all content, positive where the library
  // decides, 0 not at all.
  int Indent() const;
  void SetIndent(int value);

  TidyOutputMode OutputMode() const { return FOutputMode; }
  void SetOutputMode(TidyOutputMode value) { FOutputMode = value; }
  bool Congruent() const { return FCongruent; }
  void SetCongruent(bool value) { FCongruent = value; }
  bool PreScanScripts() const { return FPreScanScripts; }
  void SetPreScanScripts(bool value) { FPreScanScripts = value; }
  bool AllowUnknownTags() const { return FAllowUnknownTags; }
  void SetAllowUnknownTags(bool value) { FAllowUnknownTags = value; }
  bool MergeOrphanForms() const { return FMergeOrphanForms; }
  void SetMergeOrphanForms(bool value) { FMergeOrphanForms = value; }
  const NarrowString& ErrorFile() const { return FErrorFile; }
  void SetErrorFile(const NarrowString& value) { FErrorFile = value; }

  tTidyReportEvent OnReport;
  tTidyInputCompleteEvent OnInputComplete;

protected:
  ~TTidy() override;

private:
  struct TLibrary;
  class TErrorFileWriter;

  void Reset();
  void ReplaceDocument();
  void SelectOutputKind(TidyOutputMode mode);
  TidyOutputMode CurrentOutputKind() const;
  void CompleteInput();
  bool PassesByteOrderMarkCheck();
  void AdjustToMarkup();
  // Parses the input buffer; the library's status (negative when it gave up).
  int ParseInput();
  NarrowString CleanAndSave();
  void ParseOwnOutput(std::string_view output);
  void MergeOrphanedForms();
  void ExtendTagOptions();
  void RestoreTagOptions();
  void WriteSummary();
  // Reports of the library and of the wrapper: unknown tags and form warnings are noted,
  // OnReport is called and the error file gets the report line.
  void ReportFilter(TidyReportLevel level, unsigned line, unsigned col, std::string_view text);
  // A failure that a report handler raised inside a library call goes on from here.
  void RethrowPendingFailure();
  NarrowString LineEnd() const;

  std::unique_ptr<TLibrary> FLibrary;
  std::unique_ptr<TErrorFileWriter> FErrorFileWriter;
  std::string_view FInput;
  tUnknownTags FUnknownTags;
  int FMissingFormEnds = 0;
  int FImplicitForms = 0;
  std::exception_ptr FPendingFailure;
  NarrowString FLibraryMessages;

  TidyOutputMode FOutputMode = omHTML;
  bool FCongruent = false;
  bool FPreScanScripts = false;
  bool FAllowUnknownTags = false;
  bool FMergeOrphanForms = false;
  NarrowString FErrorFile;
};

} // namespace velmora
