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
// A tool of the Tools folder (%1) or the help page could not be found or started.
inline constexpr int kStrToolMissing = 300;
inline constexpr int kStrHelpMissing = 301;
// The recording (%1: file and reason) could not be started, or not be kept when it ended.
inline constexpr int kStrRecordingNotStarted = 302;
inline constexpr int kStrRecordingNotSaved = 303;
// A category's playlist or the category names (%1: file, %2: reason) could not be saved.
inline constexpr int kStrListNotSaved = 304;
// The song pane while a song is paused or stopped, a video or the recording plays.
inline constexpr int kStrPausedState = 305;
inline constexpr int kStrStoppedState = 306;
inline constexpr int kStrPlayingVideo = 307;
inline constexpr int kStrReplayingRecording = 308;
