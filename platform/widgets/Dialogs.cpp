// The toolkit's dialogs live in OpenDialog.cpp (file-open dialog) and MessageBox.cpp
// (message box); this unit keeps nothing of its own.
