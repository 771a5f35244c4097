#pragma once

// Command ids of the player's menus, toolbar and context menus.

// Play menu and toolbar.
inline constexpr int kCmdPlay = 32771;
inline constexpr int kCmdStop = 32772;
inline constexpr int kCmdPause = 32773;
inline constexpr int kCmdAddMusicFiles = 32774;
inline constexpr int kCmdVideoFile = 32775;
inline constexpr int kCmdAddFolder = 32844;
inline constexpr int kCmdOpenM3u = 32782;
inline constexpr int kCmdExit = 32788;
inline constexpr int kCmdSing = 32818;
inline constexpr int kCmdOptionsButton = 32830;
inline constexpr int kCmdRecord = 32838;
inline constexpr int kCmdReplay = 32839;
inline constexpr int kCmdSynthesize = 32840;
inline constexpr int kCmdHelpButton = 32819;
inline constexpr int kCmdHomePageButton = 32821;
inline constexpr int kCmdPreviousSong = 32901;
inline constexpr int kCmdNextSong = 32902;

// Vocal removal menu.
inline constexpr int kCmdAccompanimentMaker = 32857;
inline constexpr int kCmdChannelLeft = 32853;
inline constexpr int kCmdChannelStereo = 32854;
inline constexpr int kCmdChannelRight = 32855;

// Lyrics menu and the lyrics view's context menu.
inline constexpr int kCmdAddLyricToLibrary = 32835;
inline constexpr int kCmdLyricJukebox = 32850;
inline constexpr int kCmdEditLyric = 32852;
inline constexpr int kCmdSearchLyric = 32848;
inline constexpr int kCmdManualMatch = 32866;
inline constexpr int kCmdMakeLyric = 32860;
inline constexpr int kCmdModeScroll = 32799;
inline constexpr int kCmdModeAlternate = 32800;
inline constexpr int kCmdTextColor = 32791;
inline constexpr int kCmdHighTextColor = 32792;
inline constexpr int kCmdBackColor = 32793;
inline constexpr int kCmdHighBackColor = 32794;
inline constexpr int kCmdThemeMatrix = 32795;
inline constexpr int kCmdThemeSunshine = 32796;
inline constexpr int kCmdThemeMint = 32831;
inline constexpr int kCmdLyricFont = 32790;
inline constexpr int kCmdFullScreen = 32842;
inline constexpr int kCmdNormalScreen = 32843;

// View menu.
inline constexpr int kCmdViewToolbar = 59392;
inline constexpr int kCmdViewStatusBar = 59393;
inline constexpr int kCmdViewSongList = 32804;

// Tools menu. The lyric editor shares its id with the lyrics view's "make this lyric".
inline constexpr int kCmdOptions = 32801;
inline constexpr int kCmdToolVerslet = 32860;
inline constexpr int kCmdToolVersario = 32833;
inline constexpr int kCmdToolNomina = 32832;
inline constexpr int kCmdToolWandel = 32834;

// Help menu and tray menu.
inline constexpr int kCmdHelp = 32828;
inline constexpr int kCmdTipOfTheDay = 32865;
inline constexpr int kCmdAbout = 32806;
inline constexpr int kCmdHomePage = 32829;
inline constexpr int kCmdShowMainWindow = 32783;

// Song list context menu.
inline constexpr int kCmdEditSongInfo = 32777;
inline constexpr int kCmdRemoveSelected = 32778;
inline constexpr int kCmdClearAll = 32780;
inline constexpr int kCmdNewCategory = 32863;
inline constexpr int kCmdDeleteCategory = 32864;
inline constexpr int kCmdSaveM3u = 32789;
inline constexpr int kCmdListBackColor = 32786;
inline constexpr int kCmdListTextColor = 32787;
