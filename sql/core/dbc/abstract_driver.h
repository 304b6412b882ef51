// The base of every driver: URL acceptance by protocol list, version numbers,
// and the tokenizer and statement analyser that all connections and statements
// of a driver share, created on first use.
#pragma once

#include "sql/core/dbc/interfaces.h"

class TZAbstractDriver : public TZAbstractObject, public virtual IZDriver {
public:
  // Out of line, so users need not see the tokenizer and analyser classes.
  TZAbstractDriver();
  ~TZAbstractDriver() override;

  // Every driver lists its own protocols; no base implementation.
  TZStringDynArray GetSupportedProtocols() override = 0;
  // Returns null; every driver overrides it.
  Ref<IZConnection> Connect(const AnsiString& url, TStrings* properties) override;
  int GetClientVersion(const AnsiString& url) override;
  // True when url starts, case-sensitively, with "zdbc:" + a supported
  // protocol + ":".
  bool AcceptsURL(const AnsiString& url) override;
  std::unique_ptr<TStrings> GetPropertyInfo(const AnsiString& url, TStrings* info) override;
  int GetMajorVersion() override { return 1; }
  int GetMinorVersion() override { return 0; }
  int GetSubVersion() override { return 0; }
  // The generic ones, made once; dialect drivers override both the same way.
  Ref<IZTokenizer> GetTokenizer() override;
  Ref<IZStatementAnalyser> GetStatementAnalyser() override;

protected:
  Ref<IZTokenizer> Tokenizer;
  Ref<IZStatementAnalyser> Analyser;
};
