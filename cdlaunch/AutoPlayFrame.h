// CAutoPlayFrame: the menu window. Its client area shows the background
// picture of the configuration and a column of buttons along its right
// edge, one per entry of the Commands section. Moving the mouse over an
// image button highlights it; pressing a button plays its sound and runs its
// command line, or closes the menu for the quit command.
// Pictures and sounds named like a device (COM1, CON, ...) or given as a
// network path (\\server\share\...) are never opened: such a picture
// cannot be loaded and such a sound is not played.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "cdlaunch/ActionButton.h"
#include "cdlaunch/DIBitmap.h"
#include "framework/FrameWnd.h"

class CAutoPlayFrame : public CFrameWnd {
public:
  // Button ids: the n-th button created gets kFirstButtonId + n; commands
  // are answered for ids up to kLastButtonId.
  static constexpr UINT kFirstButtonId = 100;
  static constexpr UINT kLastButtonId = 200;

  CAutoPlayFrame() = default;
  // Destroys the window and every button.
  ~CAutoPlayFrame() override;

  // Creates the menu window (title "AUTORUN" until the configuration gives
  // the real one) and shows it. False when the configuration allows no menu:
  // a background picture that cannot be loaded, or a button without a
  // command line (reported in a message box).
  bool Create();

  // Where the buttons go in a client area. Column mode: stacked from the
  // top, right edges 27 pixels inside the client's right edge, and the
  // height needed is the sum of (height + 1). Centred mode: stacked around
  // the middle, right edges 7 pixels inside, and the height needed is the
  // sum of the heights.
  struct ButtonLayout {
    std::vector<POINT> positions;  // top-left corners, in list order
    int requiredHeight = 0;
  };
  static ButtonLayout PlaceButtons(bool centred, const RECT& client, const std::vector<SIZE>& sizes);

  // Places the buttons and grows the window when they need more height.
  void RecalcLayout();

  // The command line a button's command runs as. A command that neither
  // starts with a backslash nor holds a ":" is tried in the program
  // directory (with ".*" added when it has no "."); when a file matches,
  // the program directory is put in front of it (the whole in double quotes
  // when it holds a blank), otherwise it runs as written.
  static std::string ResolveCommand(const std::string& programDirectory, const std::string& command);
  // A command line taken apart for the shell: the program (the first
  // blank-separated word, or the text between the first pair of double
  // quotes, without them) and the parameters after it. A command that names
  // an existing file as a whole (a document whose path has blanks, given
  // without quotes) is the program alone.
  struct SplitCommandLine {
    std::string program;
    std::string parameters;
  };
  static SplitCommandLine SplitCommand(std::string_view command);
  // The file a sound setting plays: a relative one is taken from the
  // program directory; a network path gives none (empty), since opening it
  // would hand the user's credentials to that server.
  static std::string ResolveSound(const std::string& programDirectory, const std::string& sound);

  const std::vector<std::unique_ptr<CActionButton>>& GetButtons() const { return buttons_; }
  const CDIBitmap& GetBackground() const { return background_; }
  const std::string& GetCaption() const { return caption_; }
  int GetCenterButtons() const { return centerButtons_; }

protected:
  int OnCreate(CREATESTRUCTA* cs) override;
  BOOL OnEraseBkgnd(HDC dc) override;
  void OnMouseMove(UINT flags, POINT point) override;
  BOOL OnCommand(UINT id, UINT code, HWND control) override;
  void OnSize(UINT type, int cx, int cy) override;

private:
  bool ReadSettings();
  void FitToBackground(const CREATESTRUCTA& cs);
  void CreateButtons();
  std::unique_ptr<CActionButton> CreateButton(const std::string& section);
  void RunCommand(const CActionButton& button);

  std::string configPath_;
  std::string caption_;
  int centerButtons_ = 0;
  std::vector<std::unique_ptr<CActionButton>> buttons_;
  CDIBitmap background_;
};
