#pragma once
// The control identifiers of the main window, by which its children are found (also by a
// test that drives the program through window messages).

namespace velmora {

// The main window's class name.
constexpr const char* kMainWindowClass = "TfrmMain";

enum TControlId : int {
  idPanel = 100,      // pmMain
  idPages = 101,      // pgMain
  idPageLMC = 110,    // tsLMC
  idPageSelect = 111, // tsSelect
  idPageOutput = 112, // tsOutput
  idLabel1 = 120,
  idLMCFile = 121, // feLMCFile: the edit field
  idLMCFileBrowse = 122,
  idImportBar = 123,
  idImport = 124,     // btnImport: the command of the toolbar button
  idSelectList = 130, // lvSelect
  idLabel2 = 140,
  idOutFile = 141, // feOutFile
  idOutFileBrowse = 142,
  idExportBar = 143,
  idExport = 144, // btnExport
  idLabel3 = 145,
  idCountryCode = 146, // seCountryCode: the edit field
  idCountryCodeSpin = 147,
  idStatus = 150, // sbStatus
};

} // namespace velmora
