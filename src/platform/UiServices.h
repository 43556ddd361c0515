#pragma once

class MessageBoxService;
class FileDialogService;

// The user-facing services a window or dialog needs, handed to it explicitly
// so tests can script them.
struct UiServices
{
    MessageBoxService &messages;
    FileDialogService &files;
};
