#pragma once

// Numbers of the player window's strings in the string table (resources/StringTable.cpp).

// Toolbar tooltips 1..10 and button texts 35..44, in toolbar order.
inline constexpr int kStrFirstToolTip = 1;
inline constexpr int kStrFirstButtonText = 35;
inline constexpr int kStrTitle = 15;
inline constexpr int kStrPlaying = 22;
inline constexpr int kStrStopButton = 36;
inline constexpr int kStrRecordButton = 40;
inline constexpr int kStrReplayButton = 41;
inline constexpr int kStrWelcome = 69;
inline constexpr int kStrForwardPane = 70;
inline constexpr int kStrBackPane = 71;
// Status bar tooltips of panes 0..3.
inline constexpr int kStrFirstPaneTip = 74;
// No song of the list could be opened.
inline constexpr int kStrNothingPlayable = 200;
