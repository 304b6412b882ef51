// The ADO plain driver, which names the protocol (nothing is loaded: the ADO
// objects are linked in), and the creators of the ADO objects.
#pragma once

#include "sql/core/abstract_object.h"
#include "sql/core/dbc/native_library.h"
#include "sql/drivers/ado/ado_objects.h"

class TZAdoPlainDriver : public TZAbstractObject, public virtual IZPlainDriver {
public:
  AnsiString GetProtocol() override { return "ado"; }
  AnsiString GetDescription() override { return "Native driver for Microsoft ADO"; }
  void Initialize() override {}
};

// A new closed connection.
struct CoConnection {
  static Ref<Connection15> Create() { return MakeRef<Connection15>(); }
};

// A new command without text or connection.
struct CoCommand {
  static Ref<_Command> Create() { return MakeRef<_Command>(); }
};

// A new closed recordset.
struct CoRecordset {
  static Ref<Recordset15> Create() { return MakeRef<Recordset15>(); }
};
