-- Book registry: one row per installed book of one user. The field order is part
-- of the format (rows are read by position as well as by name).
CREATE TABLE Mapeamento (
  Usuario    TEXT COLLATE NOCASE,
  Curso      TEXT COLLATE NOCASE,
  LetraDrive TEXT COLLATE NOCASE,
  Caminho    TEXT COLLATE NOCASE
);
