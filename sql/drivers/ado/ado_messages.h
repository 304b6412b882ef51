// The texts of the errors that the ADO object layer raises on its own, with
// the SQLSTATE each carries.
#pragma once

inline constexpr char kAdoStateClosed[] = "08003";
inline constexpr char kAdoObjectClosed[] = "Operation is not allowed when the object is closed.";
inline constexpr char kAdoStateOpen[] = "08002";
inline constexpr char kAdoObjectOpen[] = "Operation is not allowed when the object is open.";
inline constexpr char kAdoStateTransaction[] = "25000";
inline constexpr char kAdoNoTransaction[] = "No transaction is active.";
inline constexpr char kAdoTransactionRunning[] = "Only one transaction can be active on this session.";
inline constexpr char kAdoCloseInTransaction[] = "Operation cannot be performed while in a transaction.";
inline constexpr char kAdoStateNoRecord[] = "24000";
inline constexpr char kAdoNoCurrentRecord[] =
    "Either BOF or EOF is True, or the current record has been deleted. Requested operation requires a current "
    "record.";
inline constexpr char kAdoStateNoItem[] = "07009";
inline constexpr char kAdoItemNotFound[] =
    "Item cannot be found in the collection corresponding to the requested name or ordinal.";
inline constexpr char kAdoStateNotSupported[] = "HYC00";
inline constexpr char kAdoSchemaNotSupported[] = "Object or provider is not capable of performing requested operation.";
