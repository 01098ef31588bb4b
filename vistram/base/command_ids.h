// Command ids. Every menu item, toolbar button and accelerator carries one of
// these numbers and reaches its window's command handler with it; the numbers
// are the program's own and never change.
#pragma once

// Main window.
inline constexpr int kCmdOpen = 3000;
inline constexpr int kCmdSave = 3001;
inline constexpr int kCmdClose = 3002;
inline constexpr int kCmdDatabaseInfo = 3003;
inline constexpr int kCmdPrintSetup = 3004;  // also in the editor and map windows
inline constexpr int kCmdPrint = 3005;
// "Export as PDF..." beside each Print command: the same pages as a PDF file.
inline constexpr int kCmdExportPdf = 3051;
inline constexpr int kCmdExit = 3006;  // also closes the editor and map windows
inline constexpr int kCmdSelectFirstAlignments = 3007;
inline constexpr int kCmdSelectAllAlignments = 3008;
inline constexpr int kCmdUnselectAllAlignments = 3009;
inline constexpr int kCmdViewDatabaseFile = 3010;
inline constexpr int kCmdColours = 3011;
inline constexpr int kCmdGuiParameters = 3012;
inline constexpr int kCmdBlast2Defaults = 3013;
inline constexpr int kCmdHcaViewer = 3014;
inline constexpr int kCmdFullHcaViewer = 3015;
inline constexpr int kCmdEditorFromAlignments = 3016;
inline constexpr int kCmdMapper = 3017;
inline constexpr int kCmdStringFinder = 3018;
inline constexpr int kCmdHitmerge = 3019;
inline constexpr int kCmdEditorOpenMsf = 3020;
inline constexpr int kCmdIdAnalyser = 3021;
inline constexpr int kCmdFieldSearch = 3022;
inline constexpr int kCmdBlast2Search = 3023;
inline constexpr int kCmdClustalRequest = 3024;
inline constexpr int kCmdNothing = 3027;  // F1
inline constexpr int kCmdAbout = 3028;
inline constexpr int kCmdRename = 3031;  // also renames an editor row

// Alignment editor (menu 1011 and its toolbar).
inline constexpr int kCmdEditorSave = 3029;
inline constexpr int kCmdWindowPrint = 3030;  // print the editor's alignment or the map
inline constexpr int kCmdEditorRemoveRow = 3032;
inline constexpr int kCmdEditorMergeRow = 3033;
inline constexpr int kCmdEditorMoveRowUp = 3034;
inline constexpr int kCmdEditorMoveRowDown = 3035;
inline constexpr int kCmdEditorConsensus = 3036;
inline constexpr int kCmdEditorFont = 3037;
inline constexpr int kCmdEditorFindPattern = 3038;

// Full HCA Viewer.
inline constexpr int kCmdHcaLoadQueryFile = 3039;
inline constexpr int kCmdHcaLoadQueryNet = 3040;
inline constexpr int kCmdHcaSaveQueryPlot = 3041;
inline constexpr int kCmdHcaLoadDbFile = 3042;
inline constexpr int kCmdHcaLoadDbNet = 3043;
inline constexpr int kCmdHcaSaveDbPlot = 3044;
inline constexpr int kCmdHcaPrint = 3045;
inline constexpr int kCmdHcaSaveImage = 3050;  // "Save as image...": the plots as SVG or PNG

// Map window (menu 1012).
inline constexpr int kCmdMapSort = 3046;
inline constexpr int kCmdMapScale = 3048;
inline constexpr int kCmdMapSaveImage = 3047;  // "Save as image...": the whole map as SVG or PNG
