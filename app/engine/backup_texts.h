// The texts the backup program shows, writes or looks for, kept verbatim in
// one place (Czech, compiled to Windows-1250).
#pragma once

#include <array>

inline constexpr const char* kDumpProgram = "mysqldump";
inline constexpr const char* kProjectFile = "vorbex05.dpr";
inline constexpr const char* kSecondIniFile = "kalmir05.ini";
inline constexpr const char* kDefaultDatabase = "kalmir";
// The login of developer mode, and the defaults of the program ini file.
inline constexpr const char* kDefaultUser = "root";
inline constexpr const char* kDefaultPassword = "tobrek";

inline constexpr const char* kNoDumpProgramMessage = "Není soubor mysqldump.exe! Dohraj podle typu SQL!";
inline constexpr const char* kConnectFailedMessage = "Chyba připojení k serveru SQL! Program ukončen!";
inline constexpr const char* kMinimizeCaption = "zminimalizovat";
inline constexpr const char* kShowTablesFrom = "show tables from ";
inline constexpr const char* kTablesColumnPrefix = "Tables_in_";
inline constexpr const char* kQuickDumpOptions = " --quick --max-allowed-packet=64M --extended-insert";

inline constexpr const char* kCheckedSection = "Checked";
inline constexpr const char* kAllTablesKey = "Vsechny";
inline constexpr const char* kTrue = "True";
inline constexpr const char* kFalse = "False";
inline constexpr const char* kDefaultExclusionMask = "tmp_*;_*;c??_*;r??_*;z??_*";

// Monday = index 0 ... Sunday = index 6.
inline constexpr std::array<const char*, 7> kDayNames = {"po", "út", "st", "čt", "pá", "so", "ne"};

inline constexpr std::array<const char*, 13> kHelpLines = {
    "Parametry při spuštění:",
    "",
    "/a:   - samotné, spustí,",
    "    provede backup a ukončí",
    "    program",
    "/a:20:00:00 - spustí program,",
    "    usadí do systemlišty,",
    "    provádí zálohu vždy v",
    "    nastavený čas",
    "/d:ANANA - další parametr,",
    "    provádí zálohu v PO, ST,",
    "    PÁ. Při neuvedení param.",
    "    /d provádí každý den",
};
