// Enumerations shared by the dataset framework: field types, dataset states,
// record fetch modes, bookmark flags, update kinds and the data events that a
// dataset sends to its data sources and links.
#pragma once

#include <cstdint>

enum TFieldType {
  ftUnknown, ftString, ftSmallint, ftInteger, ftWord, ftBoolean, ftFloat, ftCurrency,
  ftBCD, ftDate, ftTime, ftDateTime, ftBytes, ftVarBytes, ftAutoInc, ftBlob, ftMemo,
  ftGraphic, ftFmtMemo, ftParadoxOle, ftDBaseOle, ftTypedBinary, ftCursor, ftFixedChar,
  ftWideString, ftLargeint, ftADT, ftArray, ftReference, ftDataSet, ftOraBlob, ftOraClob,
  ftVariant, ftInterface, ftIDispatch, ftGuid, ftTimeStamp, ftFMTBcd
};

// The platform's name of a field type, as error messages show it.
const char* FieldTypeName(TFieldType type);

enum TFieldKind { fkData, fkCalculated, fkLookup, fkInternalCalc, fkAggregate };

enum TDataSetState {
  dsInactive, dsBrowse, dsEdit, dsInsert, dsSetKey, dsCalcFields, dsFilter, dsNewValue,
  dsOldValue, dsCurValue, dsBlockRead, dsInternalCalc, dsOpening
};

// How FillRecordBuffer is asked for a record, and what it answers.
enum TGetMode { gmCurrent, gmNext, gmPrior };
enum TGetResult { grOK, grBOF, grEOF, grError };

// Where a record buffer stands relative to the visible records.
enum TBookmarkFlag : std::uint8_t { bfCurrent, bfBOF, bfEOF, bfInserted };

enum TUpdateStatus { usUnmodified, usModified, usInserted, usDeleted };
enum TUpdateKind { ukModify, ukInsert, ukDelete };
// What an update-record handler did with a record.
enum TUpdateAction { uaFail, uaAbort, uaSkip, uaRetry, uaApplied };

// Answer of an error event: fail (raise), abort (silent) or retry the step.
enum TDataAction { daFail, daAbort, daRetry };

enum TBlobStreamMode { bmRead, bmWrite, bmReadWrite };

enum TParamType { ptUnknown, ptInput, ptOutput, ptInputOutput, ptResult };

// Options of ResyncBuffers: keep the current record exactly where it is
// (raising when it is gone) and/or centre it in the buffer window.
enum TResyncMode : unsigned { rmExact = 1, rmCenter = 2 };

enum TLocateOption : unsigned { loCaseInsensitive = 1, loPartialKey = 2 };

// Notifications that a dataset broadcasts to its data sources and links.
enum TDataEvent {
  deFieldChange, deRecordChange, deDataSetChange, deDataSetScroll, deLayoutChange,
  deUpdateRecord, deUpdateState, deCheckBrowseMode, dePropertyChange, deFieldListChange,
  deFocusControl
};
