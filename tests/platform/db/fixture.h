// A test dataset of integer ids whose events land in the same log as its
// hooks, and a step helper that returns the log with the cursor flags.
#pragma once

#include <sstream>
#include <string>

#include "platform/db/field_buffers.h"
#include "test_dataset.h"

inline std::string Join(const std::vector<std::string>& items) {
  std::string text;
  for (const auto& item : items) text += (text.empty() ? "" : " ") + item;
  return text;
}

struct IdsFixture {
  explicit IdsFixture(std::initializer_list<int> ids) {
    ds->AddIds(ids);
    auto note = [this](const char* name) {
      return [this, name](TDataSet*) { ds->log.push_back(name); };
    };
    ds->BeforeOpen = note("BeforeOpen");
    ds->AfterOpen = note("AfterOpen");
    ds->BeforeClose = note("BeforeClose");
    ds->AfterClose = note("AfterClose");
    ds->BeforeScroll = note("BeforeScroll");
    ds->AfterScroll = note("AfterScroll");
    ds->BeforeInsert = note("BeforeInsert");
    ds->AfterInsert = note("AfterInsert");
    ds->BeforeEdit = note("BeforeEdit");
    ds->AfterEdit = note("AfterEdit");
    ds->BeforePost = note("BeforePost");
    ds->AfterPost = note("AfterPost");
    ds->BeforeCancel = note("BeforeCancel");
    ds->AfterCancel = note("AfterCancel");
    ds->BeforeDelete = note("BeforeDelete");
    ds->AfterDelete = note("AfterDelete");
    ds->OnNewRecord = note("OnNewRecord");
  }
  IdsFixture(const IdsFixture&) = delete;
  IdsFixture& operator=(const IdsFixture&) = delete;
  ~IdsFixture() { ds->Free(); }

  // The log since the last call, then Eof, Bof and the record number.
  std::string Step() {
    std::ostringstream out;
    out << Join(ds->log);
    if (ds->Active())
      out << " | eof=" << ds->Eof() << " bof=" << ds->Bof() << " recno=" << ds->RecordNumber();
    ds->log.clear();
    return out.str();
  }

  TField* Id() const { return ds->FieldNamed("ID"); }

  TTestDataSet* ds = new TTestDataSet(nullptr, {{"ID", ftInteger}});
};
