-- Message catalogue: every text the manager shows, once per language.
-- Text comparison ignores letter case, as the course's databases always did.
CREATE TABLE Mensagens (
  Idioma    TEXT    NOT NULL COLLATE NOCASE,
  Codigo    INTEGER NOT NULL,
  Descricao TEXT    NOT NULL COLLATE NOCASE,
  QtdParam  INTEGER NOT NULL DEFAULT 0,
  PRIMARY KEY (Idioma, Codigo)
);

CREATE TABLE Botoes (
  Idioma TEXT    NOT NULL COLLATE NOCASE,
  Codigo INTEGER NOT NULL,
  Hint   TEXT    NOT NULL COLLATE NOCASE,
  PRIMARY KEY (Idioma, Codigo)
);

-- Opened with the other two at start-up; no row is read.
CREATE TABLE Funcoes (
  Idioma TEXT    NOT NULL COLLATE NOCASE,
  Codigo INTEGER NOT NULL,
  PRIMARY KEY (Idioma, Codigo)
);
