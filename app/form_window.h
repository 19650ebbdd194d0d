#pragma once
// What the window logic needs of a form's window on the screen. The logic is written
// against this interface, so it runs with the Qt window and with a fake in tests.

#include <cstdint>

#include "runtime/strings.h"

namespace velmora {

enum TWindowState : uint8_t { wsNormal = 0, wsMinimized = 1, wsMaximized = 2 };

// Show commands of a placement record.
constexpr int kShowHidden = 0;
constexpr int kShowNormal = 1;
constexpr int kShowMinimized = 2;
constexpr int kShowMaximized = 3;

// Placement flags.
constexpr uint32_t kPlacementSetMinPosition = 1;
constexpr uint32_t kPlacementRestoreToMaximized = 2;

struct TPoint {
  int X = 0;
  int Y = 0;
  bool operator==(const TPoint&) const = default;
};

struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  bool operator==(const TRect&) const = default;
};

// Where a window is: flags, show command, minimized and maximized positions and the
// rectangle of the normal (neither minimized nor maximized) window in screen pixels.
struct TWindowPlacement {
  uint32_t Flags = 0;
  int ShowCmd = kShowNormal;
  TPoint MinPosition{-1, -1};
  TPoint MaxPosition{-1, -1};
  TRect NormalPosition;
  bool operator==(const TWindowPlacement&) const = default;
};

struct TScreenMetrics {
  int Width = 0; // of the primary screen, in pixels
  int Height = 0;
  int PixelsPerInch = 96;
};

class TFormWindow {
public:
  virtual ~TFormWindow() = default;

  virtual void SetCaption(const NarrowString& caption) = 0;

  virtual TWindowPlacement Placement() const = 0;
  // Applies the normal rectangle (kept on the visible screen area) and the positions; the
  // window's state does not change.
  virtual void SetPlacement(const TWindowPlacement& placement) = 0;
  virtual bool IsVisible() const = 0;
  virtual TWindowState WindowState() const = 0;
  virtual void SetWindowState(TWindowState state) = 0;
  // Minimizes the application once its event loop runs.
  virtual void PostApplicationMinimize() = 0;
  virtual bool IsApplicationMinimized() const = 0;
  virtual TScreenMetrics Screen() const = 0;

  // The window's system menu (on Linux: its context menu); commands come back through the
  // form's SystemCommand.
  virtual void AppendSystemMenuSeparator() = 0;
  virtual void AppendSystemMenuItem(int commandId, const NarrowString& caption) = 0;

  // The platform's About box for applicationName ("Info über <applicationName>") with the
  // text (a CR starts a new line) and the application's icon, owned by this window.
  virtual void ShowAboutBox(const NarrowString& applicationName, const NarrowString& text) = 0;
  // An error box with a stop icon and an OK button.
  virtual void ShowErrorBox(const NarrowString& title, const NarrowString& message) = 0;
  // Processes all pending input and paint events, then returns.
  virtual void ProcessMessages() = 0;
};

} // namespace velmora
