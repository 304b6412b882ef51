// The skin engine's own user-visible texts.
#pragma once

inline constexpr const char* kSkinReadFailed = "Failed to read skin file!";
inline constexpr const char* kOnlyOneControlBox = "Sorry, only one button's ButtonType property can be \"suiControlBox\"";
inline constexpr const char* kOnlyOneClientSection = "Sorry, only one section's Align property can be \"suiClient\"";
inline constexpr const char* kFormPanelIsForm = "Sorry, you can't select the Form assign to FormPanel property";
// The database navigator's button hints, in button order, and its delete question.
inline constexpr const char* kNavHints[10] = {"First record", "Prior record", "Next record", "Last record",
                                              "Insert record", "Delete record", "Edit record", "Post edit",
                                              "Cancel edit", "Refresh data"};
inline constexpr const char* kDeleteRecordQuestion = "Delete record?";
// The title bar's system menu.
inline constexpr const char* kSystemMenuMinimize = "Mi&nimize";
inline constexpr const char* kSystemMenuMaximize = "Ma&ximize/Restore";
inline constexpr const char* kSystemMenuClose = "&Close";
inline constexpr const char* kMDIFormNotOnForm = "Sorry, TsuiMDIForm must be placed on a form";
