#include "app/conversion_commands.h"

#include "docservice/document_service.h"
#include "dom/node_lists.h"
#include "runtime/files.h"
#include "runtime/text_file.h"

namespace velmora {

namespace {

const char16_t* const kBackupsQuery = u"/Data/Folder/Folder[Folder/@name[1]='Contacts']";

// Every text the conversion takes from the backup is one joined value.
NarrowString Joined(TvxDomImplementation& service, TDomDocumentXPath* document, TDomNode* context,
                    std::u16string_view expression) {
  return service.JoinedValue(document, context, expression, " ").AsString();
}

// The items context selects with expression: each one's text and type.
std::vector<TContactItem> ReadItems(TvxDomImplementation& service, TDomDocumentXPath* document,
                                    TDomNode* contact, std::u16string_view expression,
                                    bool skipEmpty) {
  std::vector<TContactItem> items;
  const std::unique_ptr<TDomNodeList> nodes = service.SelectNodes(document, contact, expression);
  const int count = nodes ? nodes->length() : 0;
  for (int i = 0; i < count; ++i) {
    TDomNode* node = nodes->item(i);
    NarrowString value = Joined(service, document, node, u"text()");
    if (skipEmpty && value.empty()) {
      continue;
    }
    items.push_back({Joined(service, document, node, u"@type"), std::move(value)});
  }
  return items;
}

} // namespace

void ListBackups(TvxDomImplementation& service, TDomDocumentXPath* document, TConversionHost& host,
                 const std::function<void(const TBackupRow&)>& listed) {
  const std::unique_ptr<TDomNodeList> backups =
      service.SelectDocumentNodes(document, kBackupsQuery);
  const int count = backups ? backups->length() : 0;
  for (int i = 0; i < count; ++i) {
    TDomNode* backup = backups->item(i);
    const TBackupRow row{Joined(service, document, backup, u"../@name[1]"),
                         Joined(service, document, backup, u"@name[1]"), backup};
    listed(row);
    host.SetStatusText(0, row.Device);
    host.SetStatusText(1, row.Date);
    host.ProcessMessages();
  }
}

TContactData ReadContact(TvxDomImplementation& service, TDomDocumentXPath* document,
                         TDomNode* contact) {
  TContactData data;
  data.Name = Joined(service, document, contact, u"Name[1]");
  data.Texts = ReadItems(service, document, contact, u"Text", false);
  data.Numbers = ReadItems(service, document, contact, u"Number", true);
  return data;
}

bool ExportBackup(TvxDomImplementation& service, TDomDocumentXPath* document, TDomNode* backup,
                  const NarrowString& fileName, TConversionHost& host) {
  if (FileExists(fileName) && !host.ConfirmOverwrite(kOverwriteQuestion)) {
    return false;
  }
  TTextFile output(fileName);
  TAddressFileWriter writer(output, [&host](const NarrowString& entry, const NarrowString& line) {
    host.SetStatusText(0, entry);
    host.SetStatusText(1, line);
  });
  const std::unique_ptr<TDomNodeList> contacts =
      service.SelectNodes(document, backup, u"Folder/Contact");
  const int count = contacts ? contacts->length() : 0;
  for (int i = 0; i < count; ++i) {
    writer.WriteContact(ReadContact(service, document, contacts->item(i)), host.CountryCodeText());
    host.ProcessMessages();
  }
  // Closing writes what is buffered: its failure is the export's.
  output.Close();
  return true;
}

} // namespace velmora
