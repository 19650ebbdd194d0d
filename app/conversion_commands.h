#pragma once
// The conversion behind the window's two commands and velmora-convert, one implementation
// for both front ends: listing the backups of a loaded backup file that hold contacts, and
// writing one backup's contacts into an address file.

#include <functional>

#include "app/export/address_file_writer.h"
#include "runtime/strings.h"

namespace velmora {

class TDomDocumentXPath;
class TDomNode;
class TvxDomImplementation;

// The question asked before an existing address file is overwritten.
constexpr const char* kOverwriteQuestion = "Adressfile exists, overwrite?";

// What the commands need of the front end that runs them.
class TConversionHost {
public:
  virtual ~TConversionHost() = default;
  // Status panel 0 or 1.
  virtual void SetStatusText(int panel, const NarrowString& text) = 0;
  // Called after each listed backup and each exported contact, so that a window stays
  // responsive.
  virtual void ProcessMessages() = 0;
  // The home country code as the user gave it; read once per contact.
  virtual NarrowString CountryCodeText() = 0;
  // Whether the existing address file may be overwritten.
  virtual bool ConfirmOverwrite(const NarrowString& question) = 0;
};

struct TBackupRow {
  NarrowString Device; // the device folder's name
  NarrowString Date;   // the backup folder's name
  TDomNode* Folder;    // the backup folder element
};

// Reports every backup of document that has a folder named "Contacts" to listed, in
// document order, then shows its device and date in the status panels.
void ListBackups(TvxDomImplementation& service, TDomDocumentXPath* document, TConversionHost& host,
                 const std::function<void(const TBackupRow&)>& listed);

// The contact's name, text items and number items (empty numbers left out).
TContactData ReadContact(TvxDomImplementation& service, TDomDocumentXPath* document,
                         TDomNode* contact);

// Writes the contacts of backup, a backup folder of document, into fileName, created or
// truncated; each line is shown in the status panels. False, with nothing written, when
// the file exists and the host does not confirm the overwrite. A failure to write raises
// EInOutError; the lines before it stay in the file.
bool ExportBackup(TvxDomImplementation& service, TDomDocumentXPath* document, TDomNode* backup,
                  const NarrowString& fileName, TConversionHost& host);

} // namespace velmora
