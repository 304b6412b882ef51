// The texts and file names of the backup run, kept verbatim in one place
// (Czech, compiled to Windows-1250).
#pragma once

inline constexpr const char* kChooseFoldersMessage = "Vyberte složky pro zálohování!";
inline constexpr const char* kBackupDoneMessage = "Záloha databáze vytvořena!";
inline constexpr const char* kDumpingLine = "Zálohování...";
inline constexpr const char* kPrunedSuffix = " - výmaz souborů";
inline constexpr const char* kDoneSuffix = " - hotovo - ";
inline constexpr const char* kRowsSuffix = " vět";
inline constexpr const char* kCountErrorSuffix = " - hotovo - ERROR";
// Every protocol line of a failure holds this word.
inline constexpr const char* kFailureMark = "CHYBA";
inline constexpr const char* kDumpFailedSuffix = " - CHYBA: mysqldump skončil s kódem ";
inline constexpr const char* kNotArchivedSuffix = " - CHYBA: nezabaleno, soubor zůstává v pracovní složce";
inline constexpr const char* kTableMissingSuffix =
    " - CHYBA: tabulka nenalezena (zmizela, nebo její jméno nemá tvar ve Windows-1250)";
inline constexpr const char* kFailedSuffix = " - CHYBA: ";
inline constexpr const char* kSavedAsInfix = " - uloženo jako ";
inline constexpr const char* kDatabaseListFailedLine = "CHYBA: seznam databází nelze načíst: ";
inline constexpr const char* kStoppedLine = "CHYBA: záloha přerušena";
inline constexpr const char* kProtocolNotSavedLine = "CHYBA: protokol nelze uložit: ";
inline constexpr const char* kNotTrashedText = "nelze přesunout do koše: ";
inline constexpr const char* kOldDumpStaysText = "starý soubor nelze přesunout do koše, zůstává a nezabalí se: ";
inline constexpr const char* kFolderBusyText = "složku právě zálohuje jiný běh programu (";
inline constexpr const char* kBatchFailedInfix = " - CHYBA: dávka skončila s kódem ";
inline constexpr const char* kBackupFailedMessage = "Záloha databáze skončila s chybami, viz CHYBA v protokolu!";

inline constexpr const char* kDumpExtension = ".zal";
inline constexpr const char* kArchiveExtension = ".zip";
inline constexpr const char* kProtocolFile = "_protokol.zal";
inline constexpr const char* kCommandFilePrefix = "backup";
inline constexpr const char* kBatchListFile = "povel.txt";
inline constexpr const char* kUploadBatch = "bck_uloz.bat";
inline constexpr const char* kUploadScript = "bck_ftp.txt";
inline constexpr const char* kDeleteBatch = "bck_smaz.bat";
inline constexpr const char* kDeleteScript = "smaz_ftp.txt";
inline constexpr const char* kDateFormat = "yyyymmdd";
