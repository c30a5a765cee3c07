// CActionButton: one button of the menu. An image button shows a pair of
// pictures of the same size (normal and highlighted) drawn with white as the
// transparent colour over the menu's background, and has no frame; a text
// button is a bordered push button about twice the size of its label. The
// button knows the command line to run and the sound to play before it.
#pragma once

#include <string>

#include "cdlaunch/DIBitmap.h"
#include "framework/Controls.h"

class CActionButton : public CButton {
public:
  CActionButton() = default;
  ~CActionButton() override = default;

  // Loads the image pair named after name: the part before its first "."
  // followed by "2" (highlighted) or "1" (normal) and the part from its last
  // "." on; install.bmp names install1.bmp and install2.bmp. Only when both
  // load does the button become an image button. Relative names are taken
  // from the current directory.
  bool LoadImages(const std::string& name);

  // Creates the visible push button with label as its text and sizes it: an
  // image button to its image, a text button (bordered) to about twice its
  // label.
  bool Create(const std::string& label, CWnd* parent, UINT id);

  // Switches to the highlighted image (taking the mouse capture, so that the
  // menu hears when the pointer leaves) or back (releasing it) and repaints
  // at once. Returns whether the state changed.
  bool SetHighlighted(bool highlight);

  bool IsHighlighted() const { return highlighted_ != 0; }
  // True for a button drawn from its image pair (both loaded, and the
  // display accepts them).
  bool IsImageButton();
  const CDIBitmap* GetCurrentImage() const { return currentImage_; }

  void SetCommand(const std::string& text) { command_ = text; }
  void SetSound(const std::string& text) { sound_ = text; }
  const std::string& GetCommand() const { return command_; }
  const std::string& GetSound() const { return sound_; }

  // The two image names made from name (see LoadImages).
  static std::string ImageName(const std::string& name, char which);

protected:
  bool PreCreateWindow(CREATESTRUCTA& cs) override;
  void DrawItem(DRAWITEMSTRUCT* dis) override;
  BOOL OnEraseBkgnd(HDC dc) override;
  void OnMouseMove(UINT flags, POINT point) override;

private:
  void SizeToContent();

  int highlighted_ = 0;
  CDIBitmap* currentImage_ = nullptr;
  CDIBitmap highlightedImage_;
  CDIBitmap normalImage_;
  std::string command_;
  std::string sound_;
};
