-- Tooltips of the image buttons, in Portuguese, English and Spanish.
-- Plain text: tooltips show "#" and "|" as typed.

-- 1: "Livros" of the main window and "Livro" of the install window; opens the book list.
INSERT INTO Botoes (Idioma, Codigo, Hint) VALUES ('POR', 1, 'Meus livros');
INSERT INTO Botoes (Idioma, Codigo, Hint) VALUES ('ING', 1, 'My books');
INSERT INTO Botoes (Idioma, Codigo, Hint) VALUES ('ESP', 1, 'Mis libros');

-- 2: "Procurar" of the install window; picks a book's ZIP file and installs it. The install window's information line names it.
INSERT INTO Botoes (Idioma, Codigo, Hint) VALUES ('POR', 2, 'Selecionar livro (arquivo ZIP) para instalar');
INSERT INTO Botoes (Idioma, Codigo, Hint) VALUES ('ING', 2, 'Select book (ZIP file) to install');
INSERT INTO Botoes (Idioma, Codigo, Hint) VALUES ('ESP', 2, 'Seleccionar libro (archivo ZIP) para instalar');

-- 3: "OK" of the book list; opens the chosen book.
INSERT INTO Botoes (Idioma, Codigo, Hint) VALUES ('POR', 3, 'Abrir o livro escolhido');
INSERT INTO Botoes (Idioma, Codigo, Hint) VALUES ('ING', 3, 'Open the chosen book');
INSERT INTO Botoes (Idioma, Codigo, Hint) VALUES ('ESP', 3, 'Abrir el libro elegido');

-- 4: "Remover" of the book list; removes the chosen book and its files.
INSERT INTO Botoes (Idioma, Codigo, Hint) VALUES ('POR', 4, 'Remover o livro escolhido');
INSERT INTO Botoes (Idioma, Codigo, Hint) VALUES ('ING', 4, 'Remove the chosen book');
INSERT INTO Botoes (Idioma, Codigo, Hint) VALUES ('ESP', 4, 'Eliminar el libro elegido');

-- 5: "Principal" of the book list and install windows; back to the main window.
INSERT INTO Botoes (Idioma, Codigo, Hint) VALUES ('POR', 5, 'Voltar à janela principal');
INSERT INTO Botoes (Idioma, Codigo, Hint) VALUES ('ING', 5, 'Back to the main window');
INSERT INTO Botoes (Idioma, Codigo, Hint) VALUES ('ESP', 5, 'Volver a la ventana principal');

-- 7: minimise button of every window.
INSERT INTO Botoes (Idioma, Codigo, Hint) VALUES ('POR', 7, 'Minimizar');
INSERT INTO Botoes (Idioma, Codigo, Hint) VALUES ('ING', 7, 'Minimize');
INSERT INTO Botoes (Idioma, Codigo, Hint) VALUES ('ESP', 7, 'Minimizar');

-- 8: exit button of every window; asks before leaving.
INSERT INTO Botoes (Idioma, Codigo, Hint) VALUES ('POR', 8, 'Sair do ZEKO Download');
INSERT INTO Botoes (Idioma, Codigo, Hint) VALUES ('ING', 8, 'Exit ZEKO Download');
INSERT INTO Botoes (Idioma, Codigo, Hint) VALUES ('ESP', 8, 'Salir de ZEKO Download');

-- 9: "Configurar" of the main window and the book list; opens the install window.
INSERT INTO Botoes (Idioma, Codigo, Hint) VALUES ('POR', 9, 'Instalar um novo livro');
INSERT INTO Botoes (Idioma, Codigo, Hint) VALUES ('ING', 9, 'Install a new book');
INSERT INTO Botoes (Idioma, Codigo, Hint) VALUES ('ESP', 9, 'Instalar un libro nuevo');

-- 10: help button of every window.
INSERT INTO Botoes (Idioma, Codigo, Hint) VALUES ('POR', 10, 'Ajuda');
INSERT INTO Botoes (Idioma, Codigo, Hint) VALUES ('ING', 10, 'Help');
INSERT INTO Botoes (Idioma, Codigo, Hint) VALUES ('ESP', 10, 'Ayuda');
