// An array-backed dataset for the framework's tests. Rows live in memory in
// the record layout of its buffers; every cursor and editing hook the
// framework calls is written to `log`, so tests can check the sequence.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/db/dataset.h"

// A column of the test dataset; calculated columns get a field whose value
// OnCalcFields computes.
struct TestColumn {
  const char* name;
  TFieldType type;
  int size = 0;
  TFieldKind kind = fkData;
};

class TTestDataSet : public TDataSet {
public:
  TTestDataSet(TComponent* owner, std::vector<TestColumn> columns);

  // Rows of raw column slots; an empty optional is a null value.
  using RawValue = std::optional<std::string>;
  void AddRawRow(const std::vector<RawValue>& values);
  // Rows of one integer column "ID".
  void AddIds(std::initializer_list<int> ids);
  int RowCount() const { return static_cast<int>(rows_.size()); }
  // The raw slot of a stored row's column (0-based), for checking writes.
  RawValue StoredValue(int row, int column) const;
  void DropRow(int row) { rows_.erase(rows_.begin() + row); }

  std::vector<std::string> log;
  // Each editing hook fails this many times with EDatabaseError "fail".
  int failPosts = 0;
  int failDeletes = 0;
  int failEdits = 0;
  bool readOnly = false;
  // What DataSourceOfDataset answers (a parameter source, for link checks).
  TDataSource* paramSource = nullptr;
  TDataSource* DataSourceOfDataset() override { return paramSource; }

  using TDataSet::FetchFieldData;
  using TDataSet::StoreFieldData;
  bool FetchFieldData(TField* field, void* buffer) override;
  // Blob columns hold an index into `blobs`; a write stream adds a new entry.
  TStream* MakeBlobStream(TField* field, TBlobStreamMode mode) override;
  std::vector<std::string> blobs;
  void StoreFieldData(TField* field, const void* buffer) override;

protected:
  char* AcquireRecordBuffer() override;
  void ReleaseRecordBuffer(char*& buffer) override;
  void BlankRecordBuffer(char* buffer) override;
  int RecordBufferSize() override { return recordSize_; }
  TGetResult FillRecordBuffer(char* buffer, TGetMode mode, bool check) override;
  void OpenCursorData() override;
  void CloseCursorData() override;
  bool HasOpenCursor() override { return open_; }
  void LoadFieldDefinitions() override;
  void CursorToStart() override;
  void CursorToEnd() override;
  void CursorToBookmark(const TBookmark& bookmark) override;
  void CursorToRecord(char* buffer) override;
  void ReadBookmarkData(char* buffer, TBookmark& data) override;
  void WriteBookmarkData(char* buffer, const TBookmark& data) override;
  TBookmarkFlag ReadBookmarkFlag(char* buffer) override;
  void WriteBookmarkFlag(char* buffer, TBookmarkFlag flag) override;
  void AddRecordData(char* buffer, bool append) override;
  void DeleteRecordData() override;
  void PostRecordData() override;
  void CancelRecordData() override;
  void EditRecordData() override;
  int ReadRecordTotal() override { return RowCount(); }
  int ReadRecordNumber() override;
  bool AllowsModify() override { return !readOnly; }
  void ResetCalcFields(char* buffer) override;

private:
  friend class BlobWriter;
  struct Row {
    int id;
    std::string data;
  };
  static constexpr int kHeaderSize = 5;  // 32-bit row id, bookmark flag

  int SlotSize(int column) const;
  int Offset(TField* field) const;
  char* ActiveRowBuffer();
  int IndexOfId(int id) const;
  static int IdOf(const char* buffer);
  void LogFill(TGetMode mode, const std::string& what);

  std::vector<TestColumn> columns_;
  std::vector<int> offsets_;
  std::vector<Row> rows_;
  std::string oldValues_;
  int recordSize_ = kHeaderSize;
  int cursor_ = -1;
  int nextId_ = 1;
  bool open_ = false;
};
