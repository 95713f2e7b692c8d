// Schema of the directory tree (step 2 of the store's schema).
namespace nwsim {
extern const char* const schemaDirectory;
const char* const schemaDirectory = R"sql(
  -- One tree per network; the row exists only when the seed describes a directory.
  CREATE TABLE ds_tree(
    id INTEGER PRIMARY KEY CHECK(id = 1),
    name TEXT NOT NULL,
    root_id INTEGER NOT NULL,
    next_id INTEGER NOT NULL);
  -- Every entry of the tree, [Root] included (parent NULL). The object ID is the display
  -- form, as the bindery keeps it.
  CREATE TABLE ds_objects(
    id INTEGER PRIMARY KEY,
    parent INTEGER REFERENCES ds_objects(id),
    rdn_type TEXT NOT NULL,
    rdn TEXT NOT NULL,
    rdn_key TEXT NOT NULL,
    class TEXT NOT NULL,
    partition_root INTEGER NOT NULL DEFAULT 0,
    modified INTEGER NOT NULL DEFAULT 0);
  CREATE UNIQUE INDEX ds_objects_by_name ON ds_objects(COALESCE(parent, 0), rdn_key);
  -- Attribute values. ref holds the object a name-bearing value points to, so that moves
  -- and renames need no rewriting and removal finds every reference.
  CREATE TABLE ds_values(
    object_id INTEGER NOT NULL REFERENCES ds_objects(id) ON DELETE CASCADE,
    attr TEXT NOT NULL COLLATE NOCASE,
    seq INTEGER NOT NULL,
    syntax INTEGER NOT NULL,
    ref INTEGER,
    text TEXT NOT NULL DEFAULT '',
    text2 TEXT NOT NULL DEFAULT '',
    num INTEGER NOT NULL DEFAULT 0,
    num2 INTEGER NOT NULL DEFAULT 0,
    data BLOB,
    PRIMARY KEY(object_id, attr, seq));
  CREATE INDEX ds_values_by_ref ON ds_values(ref);
  CREATE TABLE ds_attr_defs(
    name TEXT PRIMARY KEY COLLATE NOCASE,
    syntax INTEGER NOT NULL,
    flags INTEGER NOT NULL,
    lower INTEGER NOT NULL DEFAULT 0,
    upper INTEGER NOT NULL DEFAULT 0,
    base INTEGER NOT NULL DEFAULT 0);
  CREATE TABLE ds_class_defs(
    name TEXT PRIMARY KEY COLLATE NOCASE,
    flags INTEGER NOT NULL,
    base INTEGER NOT NULL DEFAULT 0);
  -- kind: 0 super classes, 1 containment, 2 naming, 3 mandatory, 4 optional.
  CREATE TABLE ds_class_items(
    class TEXT NOT NULL COLLATE NOCASE,
    kind INTEGER NOT NULL,
    seq INTEGER NOT NULL,
    item TEXT NOT NULL COLLATE NOCASE,
    PRIMARY KEY(class, kind, seq));
  CREATE TABLE ds_passwords(
    object_id INTEGER PRIMARY KEY REFERENCES ds_objects(id) ON DELETE CASCADE,
    password TEXT NOT NULL);
  -- Who a workstation is logged in to the directory as.
  CREATE TABLE ds_logins(
    workstation TEXT PRIMARY KEY,
    object_id INTEGER NOT NULL REFERENCES ds_objects(id) ON DELETE CASCADE);
  -- Stream values live in files of the network folder; this names the file of each.
  CREATE TABLE ds_streams(
    object_id INTEGER NOT NULL REFERENCES ds_objects(id) ON DELETE CASCADE,
    attr TEXT NOT NULL COLLATE NOCASE,
    file TEXT NOT NULL,
    PRIMARY KEY(object_id, attr));
)sql";
} // namespace nwsim
