// Turning one added entry into ZIP data: stored, deflated, or the smaller of
// the two, optionally encrypted, with the entry's header fields filled in.
// The zipper installs these as the ZIP archive's insert hooks.
#pragma once

class TAbZipArchive;
class TAbZipItem;
class TStream;

// The item's disk file is the source. A file that no longer exists fails
// with EAbFileNotFound, so the save reports the entry instead of storing it.
void CompressItemFromFile(TAbZipArchive* archive, TAbZipItem* item, TStream* target);
// The source is read from its position to its end; the time stamp is now.
void CompressItemFromStream(TAbZipArchive* archive, TAbZipItem* item, TStream* target, TStream* source);
void CompressItem(TAbZipArchive* archive, TAbZipItem* item, TStream* target, TStream* source);
void StoreItem(TAbZipArchive* archive, TAbZipItem* item, TStream* target, TStream* source);
void DeflateItem(TAbZipArchive* archive, TAbZipItem* item, TStream* target, TStream* source);
