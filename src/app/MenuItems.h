#pragma once

// The fixed indexes of the menu items, by name. Macros and the settings
// name items by these indexes: they never move.
namespace varnel::MenuItems {

enum File : int {
    FileOpen = 0, FileSave = 1, FileSaveAs = 2, FileOpenWithViewer = 3, FileWorkFolder = 5,
    FileStorage = 6, FileOpenFolderWithBrowser = 8, FileStandby = 9, FileExit = 11
};
enum WorkFolder : int {
    WorkSaveNumbered = 0, WorkExplore = 1, WorkBrowse = 2, WorkEmpty = 4,
    // After every item a macro can name.
    WorkJoin = 6
};
enum Storage : int { StoreSaveNumbered = 0, StoreExplore = 1, StoreBrowse = 2, StoreChoose = 4 };
enum Edit : int {
    EditRevert = 0, EditCopy = 2, EditPaste = 3, EditRange = 5, EditTrim = 6, EditResize = 7,
    EditStitch = 8, EditRotate = 9, EditColours = 11, EditToolBar = 12, EditFrame = 13,
    // After every item a macro can name.
    EditUndo = 15, EditRedo = 16, EditReadText = 18
};
enum Range : int {
    RangeRegister = 1, RangeClear = 2, RangeHighlight = 4, RangeMarker = 5, RangeMosaic = 7
};
enum Resize : int { ResizeByWidth = 0, ResizeByHeight = 1, ResizeBoth = 3 };
enum Stitch : int { StitchRows = 0, StitchColumns = 1 };

} // namespace varnel::MenuItems
