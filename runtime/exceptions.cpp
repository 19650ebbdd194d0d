#include "runtime/exceptions.h"

#include <new>

#include "runtime/format.h"

namespace velmora {

NarrowString InOutErrorMessage(int errorCode) {
  switch (errorCode) {
  case 2:
    return "Datei nicht gefunden";
  case 3:
    return "Ungültiger Dateiname";
  case 4:
    return "Zu viele geöffnete Dateien";
  case 5:
    return "Dateizugriff verweigert";
  case 100:
    return "Versuch hinter dem Dateiende zu lesen";
  case 101:
    return "Zu wenig Speicherplatz";
  case 106:
    return "Ungültige numerische Eingabe";
  default:
    return Format("E/A-Fehler %d", {errorCode});
  }
}

EInOutError::EInOutError(int errorCode)
    : Exception(InOutErrorMessage(errorCode)), FErrorCode(errorCode) {}

NarrowString FailureText(const std::exception& failure) {
  if (dynamic_cast<const std::bad_alloc*>(&failure)) {
    return kOutOfMemory;
  }
  return failure.what();
}

} // namespace velmora
