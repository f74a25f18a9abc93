#pragma once
#include <windows.h>
#include <string>
#include <vector>

enum class ControlKind { Text, Button };

struct ControlSnapshot {
    int id;
    ControlKind kind;
    std::string text;
};

// What a dialog of another process shows, read without sending it a message: the program under
// test serves no messages while it works, so a sent WM_GETTEXT would stall the driver.
struct DialogSnapshot {
    std::string caption;
    std::vector<ControlSnapshot> controls;

    bool HasControl(int id) const;
    const ControlSnapshot* Find(int id) const;
    bool IsMessageBox() const;
    bool IsProgressWindow() const;
    bool Contains(const std::string& needle) const;
};

std::string ReadWindowText(HWND window);
DialogSnapshot TakeSnapshot(HWND dialog);
