#pragma once
// The two persistent classes the base component owns: the error codes of the function units
// and the directory context flags. Assigning one copies its values.
#include <framework/rudodor4_export.h>
#include <nwbase/enums.h>

#include <QObject>
#include <QString>

namespace nwbase {

/// The last error code of each function unit, as four or more hexadecimal digits, as of the
/// last read of TNWBase::LastError.
class RUDODOR4_EXPORT TNWLastError : public QObject {
  Q_OBJECT
  Q_PROPERTY(QString Ostrel MEMBER Ostrel STORED false)
  Q_PROPERTY(QString NWServer MEMBER NWServer STORED false)
  Q_PROPERTY(QString NWProp MEMBER NWProp STORED false)
  Q_PROPERTY(QString NWNDS MEMBER NWNDS STORED false)
  Q_PROPERTY(QString NWPrint MEMBER NWPrint STORED false)
public:
  explicit TNWLastError(QObject* parent = nullptr);
  /// Copies the five codes.
  void assign(const TNWLastError& other);

  QString Ostrel;
  QString NWServer;
  QString NWProp;
  QString NWNDS;
  QString NWPrint;
};

/// The flags of the directory context. Each setter stores its value and sets or clears its
/// bit in the context's flags, leaving every other bit as it is.
class RUDODOR4_EXPORT TNWDSContextFlags : public QObject {
  Q_OBJECT
  Q_PROPERTY(bool DereferenceAliases READ dereferenceAliases WRITE setDereferenceAliases)
  Q_PROPERTY(bool TranslateStrings READ translateStrings WRITE setTranslateStrings)
  Q_PROPERTY(bool TypelessNames READ typelessNames WRITE setTypelessNames)
  Q_PROPERTY(bool AsyncMode READ asyncMode WRITE setAsyncMode)
  Q_PROPERTY(bool CanonicalizeNames READ canonicalizeNames WRITE setCanonicalizeNames)
  Q_PROPERTY(bool DereferenceBaseClass READ dereferenceBaseClass WRITE setDereferenceBaseClass)
  Q_PROPERTY(bool DisallowReferrals READ disallowReferrals WRITE setDisallowReferrals)
public:
  /// The defaults: DereferenceAliases, TranslateStrings and CanonicalizeNames.
  explicit TNWDSContextFlags(QObject* parent = nullptr);

  bool dereferenceAliases() const { return has(DereferenceAliases); }
  bool translateStrings() const { return has(TranslateStrings); }
  bool typelessNames() const { return has(TypelessNames); }
  bool asyncMode() const { return has(AsyncMode); }
  bool canonicalizeNames() const { return has(CanonicalizeNames); }
  bool dereferenceBaseClass() const { return has(DereferenceBaseClass); }
  bool disallowReferrals() const { return has(DisallowReferrals); }

  void setDereferenceAliases(bool on) { set(DereferenceAliases, on); }
  void setTranslateStrings(bool on) { set(TranslateStrings, on); }
  void setTypelessNames(bool on) { set(TypelessNames, on); }
  void setAsyncMode(bool on) { set(AsyncMode, on); }
  void setCanonicalizeNames(bool on) { set(CanonicalizeNames, on); }
  void setDereferenceBaseClass(bool on) { set(DereferenceBaseClass, on); }
  void setDisallowReferrals(bool on) { set(DisallowReferrals, on); }

  /// All seven values as one set.
  TNWDSContextFlagSet flags() const { return values_; }
  /// Sets each flag that differs, through its setter, in the published order.
  void setFlags(TNWDSContextFlagSet flags);
  /// Copies the values, through the setters.
  void assign(const TNWDSContextFlags& other) { setFlags(other.flags()); }

  /// Stores a value and writes its bit into the directory context.
  void set(TNWDSContextFlag flag, bool on);

private:
  bool has(TNWDSContextFlag flag) const { return values_.testFlag(flag); }
  TNWDSContextFlagSet values_;
};

} // namespace nwbase
