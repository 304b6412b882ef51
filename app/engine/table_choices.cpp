// The operator's table choices and their storage in the program ini file
// ([Checked] per table, "Vsechny" for "every table"), the exclusion mask that
// leaves tables out of full backups, and the help text on the switches.
#include "app/engine/backup_engine.h"
#include "app/engine/backup_texts.h"
#include "app/engine/backup_view.h"
#include "platform/rtl/text.h"
#include "util/routines/program_routines.h"

bool TBackupEngine::AllTablesStored(const char* defaultValue) const {
  return settings_.ReadString(kAllTablesKey, defaultValue) == kTrue;
}

void TBackupEngine::TickAllTables(bool checked) {
  for (int i = 0; i < view_.TableCount(); ++i) view_.SetTableChecked(i, checked);
}

void TBackupEngine::FormShow() {
  settings_.SetIniSection(kCheckedSection);
  for (int i = 0; i < view_.TableCount(); ++i)
    view_.SetTableChecked(i, settings_.ReadString(view_.TableName(i), kFalse) == kTrue);
  settings_.SetIniSection("");
  if (AllTablesStored(kTrue)) TickAllTables(true);
}

void TBackupEngine::vechnytabulky1Click() {
  TickAllTables(true);
  if (view_.TableCount() > 0) settings_.WriteString(kAllTablesKey, kTrue);
}

void TBackupEngine::dntabulky1Click() {
  TickAllTables(false);
  if (view_.TableCount() > 0) settings_.WriteString(kAllTablesKey, kFalse);
}

void TBackupEngine::suiCheckListBox1ClickCheck() {
  bool all = true;
  for (int i = 0; i < view_.TableCount() && all; ++i) all = view_.TableChecked(i);
  settings_.WriteString(kAllTablesKey, all ? kTrue : kFalse);
}

void TBackupEngine::suiButton1Click() {
  settings_.SetIniSection(kCheckedSection);
  for (int i = 0; i < view_.TableCount(); ++i)
    settings_.WriteString(view_.TableName(i), view_.TableChecked(i) ? kTrue : kFalse);
  settings_.SetIniSection("");
  view_.CloseWindow();
}

void TBackupEngine::Maskaproignorovat1Click() {
  const AnsiString previous = view_.MaskText();
  if (previous.empty()) view_.SetMaskText(kDefaultExclusionMask);
  if (!view_.EditMask()) view_.SetMaskText(previous);
}

bool TBackupEngine::Kontrola_vylouceni(const AnsiString& tableName) const {
  const AnsiString mask = view_.MaskText();
  const AnsiString name = UpperCase(tableName);
  bool included = true;
  for (int i = 0, n = WordCount(mask, ';'); i < n; ++i) {
    const AnsiString piece = ExtractWord(mask, ';', i);
    if (!piece.empty() && WildcardMatch(name, UpperCase(piece))) included = false;
  }
  return included;
}

void TBackupEngine::suiForm1TitleBarHelpBtnClick() {
  view_.ToggleHints();
  view_.ClearProtocol();
  for (const char* line : kHelpLines) view_.AddProtocolLine(line);
}
