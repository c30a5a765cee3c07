// CGauge: the percentage bar of the copy page. The part of the bar up to
// the position is filled in the active-border colour, the rest in the
// window colour, and the percentage is written centred across both in the
// opposite colours, so that it changes colour where the boundary crosses it.
// Updates invalidate without erasing and the paint covers the whole bar, so
// frequent updates do not flicker.
#pragma once

#include <windows.h>

#include <cstdint>

#include "framework/Wnd.h"

class CGauge : public CWnd {
public:
  static constexpr const char* kClassName = "Gauge";

  CGauge(std::uint32_t minimum, std::uint32_t maximum);

  // Creates the child window of class "Gauge" (registered on first use).
  bool Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);

  // Moves the position, clamped into [minimum, maximum], and invalidates the
  // bar without erasing when the percent it shows changes; with redraw the
  // bar is painted at once.
  void SetPos(std::uint32_t position, bool redraw);
  // Sets the range and clamps the position into it. Nothing is painted.
  // A minimum above the maximum keeps the position at the minimum.
  void SetRange(std::uint32_t minimum, std::uint32_t maximum);

  std::uint32_t GetPos() const { return position_; }
  std::uint32_t GetMinimum() const { return minimum_; }
  std::uint32_t GetMaximum() const { return maximum_; }

  // Draws the bar for the current position into client (the gauge's client
  // rectangle on dc). Draws nothing when minimum equals maximum. The text
  // colour, background colour and text alignment of dc are restored.
  void Draw(HDC dc, const RECT& client) const;

  // The colours of the bar: the filled part in the active-border colour,
  // the rest in the window colour. Where a colour scheme makes the two the
  // same, the filled part takes the highlight colour so that the bar and its
  // text stay visible.
  static COLORREF FillColour();
  static COLORREF PlainColour();

  // Registers the window class "Gauge"; later calls do nothing.
  static void RegisterWindowClass();

protected:
  void OnPaint() override;
  BOOL OnEraseBkgnd(HDC dc) override;

private:
  std::uint32_t minimum_;
  std::uint32_t maximum_;
  std::uint32_t position_;
  // What the bar was last asked to show: a percent, kNothingShown for an
  // empty range, kNotYetShown before the first position of a range.
  static constexpr int kNotYetShown = -1;
  static constexpr int kNothingShown = -2;
  int shownPercent_ = kNotYetShown;
};
