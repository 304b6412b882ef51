// The base of every driver: URL acceptance by protocol list, version numbers,
// the tokenizer and statement analyser that all connections and statements
// of a driver share, created on first use, and the making of a connection
// from a URL, which every driver does alike.
#pragma once

#include "platform/rtl/lists.h"
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
  // A connection URL and properties split as ParseDatabaseUrl splits them; a
  // driver may add to the properties before it connects.
  struct TZConnectionUrl {
    TZConnectionUrl(const AnsiString& url, TStrings* properties);
    AnsiString url;
    AnsiString hostName;
    int port = 0;
    AnsiString database;
    AnsiString user;
    AnsiString password;
    TStringList properties;
  };

  // A new connection of class C over plainDriver: every driver's connection
  // takes the driver and the split URL in the same order.
  template <class C, class P>
  Ref<C> NewConnection(TZConnectionUrl& url, const P& plainDriver) {
    return MakeRef<C>(Ref<IZDriver>(this), url.url, plainDriver, url.hostName, url.port, url.database, url.user,
                      url.password, &url.properties);
  }

  // The object of class T kept in slot, made on its first use.
  template <class T, class I>
  static Ref<I> MadeOnce(Ref<I>& slot) {
    if (!slot) slot = MakeRef<T>();
    return slot;
  }

  Ref<IZTokenizer> Tokenizer;
  Ref<IZStatementAnalyser> Analyser;
};
