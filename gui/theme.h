// The launcher's look: light, dark or the system's high-contrast colours, and the palette
// every window of the program draws with.
//
// One theme holds for the process (the GUI thread's windows). It starts light with the
// system's colours, as the program always drew, until StartTheme gives the user's choice;
// then the mode comes from the choice, the apps' mode Windows is set to (AppsUseLightTheme
// under HKCU\Software\Microsoft\Windows\CurrentVersion\Themes\Personalize, absent meaning
// light) and high contrast (SPI_GETHIGHCONTRAST), which wins over both. A new choice
// (SetThemeChoice) or a change of the system (FollowSystemChange, given the top-level
// window's WM_SETTINGCHANGE and WM_SYSCOLORCHANGE) takes effect at once in every window of
// the thread: title bars, standard controls, tooltips, and a repaint of everything, each
// child window sent ThemeChangedMessage() first (a launch button makes its glyph again
// over the new face). Nothing here writes the settings file.
//
// What the system itself keeps light in the dark mode: menus and the common dialogs
// (file open, font, message boxes) have no documented dark mode for a Win32 program, and
// push buttons, edits and scroll bars are dark only where Windows knows the
// "DarkMode_Explorer" / "DarkMode_CFD" themes (Windows 10 1809 and later; elsewhere, and
// under Wine, they keep the classic face).
#pragma once

#include <windows.h>

#include <optional>

#include "core/appearance.h"

namespace vl {

struct Palette {
  COLORREF window;       // the main window, the tab strip, sheets and dialogs behind controls
  COLORREF field;        // behind an edit's text
  COLORREF face;         // a button's face, and the selected tab
  COLORREF pushedFace;
  COLORREF otherTab;     // a tab not selected
  COLORREF edgeLight, edgeShadow;  // the frame of a flat face and of a tab
  COLORREF text;         // the mode's text colour, which reads on every face of the mode
  COLORREF grayText;     // a dimmed caption, a placeholder
  COLORREF mark;         // the search's frame and the place of a drop
  COLORREF focus;        // the focus mark
  COLORREF hotText;      // the caption under the pointer
  COLORREF infoBk, infoText;  // the search strip and tooltips
  COLORREF goneFill, goneCross;  // the mark of a button whose target is gone
};

ThemeMode CurrentThemeMode();
const Palette& ThemePalette();
// Brushes of the palette's window and field colours, kept until the palette changes.
HBRUSH WindowBrush();
HBRUSH FieldBrush();

// At start, before any window shows: the user's stored choice against the system's mode.
void StartTheme(ThemeChoice choice);
ThemeChoice CurrentThemeChoice();
// The user picked another choice: every window follows at once when the mode changes.
void SetThemeChoice(ThemeChoice choice);
// A top-level window's WM_SETTINGCHANGE ("ImmersiveColorSet", SPI_SETHIGHCONTRAST) or
// WM_SYSCOLORCHANGE: the system's mode or colours are read again, and every window follows
// a change. Other messages are left alone.
void FollowSystemChange(UINT msg, WPARAM wParam, LPARAM lParam);

// A window shown or made: its title bar (a top-level window's), a tooltip's colours and its
// standard controls follow the mode. Nothing is done while the program has only ever been
// light: the system made the window so.
void FollowTheme(HWND window);
// Sent to every child window when the mode or the palette changes, before the repaint.
UINT ThemeChangedMessage();

// Tests stand in for the system's high-contrast switch, which Wine does not keep (its
// SPI_SETHIGHCONTRAST changes nothing, SPI_GETHIGHCONTRAST always answers off): set, it is
// asked instead. Nothing in the program sets it.
using HighContrastHook = bool (*)();
inline HighContrastHook highContrastHook = nullptr;

// The colour a caption chosen as `chosen` is drawn in on a face of the palette: as chosen
// where it reads (core/appearance), else the mode's text colour; in high contrast always
// the system's window text, the pointer's hot colour excepted.
COLORREF CaptionColour(COLORREF chosen);
// For a window's WM_CTLCOLORSTATIC/BTN/DLG/EDIT/LISTBOX while the mode is not light: the
// DC's colours set, the brush to paint with. None in the light mode.
std::optional<LRESULT> ThemedControlColour(UINT msg, HDC dc);
// WM_ERASEBKGND while the mode is not light: the window filled with the palette's window
// colour; false in the light mode (the class brush does it).
bool EraseThemed(HWND window, HDC dc);

}  // namespace vl
