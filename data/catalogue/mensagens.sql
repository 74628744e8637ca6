-- Texts of messages, labels and titles, in Portuguese, English and Spanish.
-- "@" takes the next parameter; QtdParam counts them. In the message box "#" turns
-- the text blue and "|" back to black; labels and list entries show both as typed.

-- 1: a book's folder could not be mapped to or released from its drive, or its folder could not be removed; @ folder, @ drive letter (the error detail follows on a new line).
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 1, 'Não foi possível concluir a operação com a pasta ou a unidade do livro.' || char(10) || 'Pasta: #@|' || char(10) || 'Unidade: #@|', 2);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 1, 'The operation on the book''s folder or drive could not be completed.' || char(10) || 'Folder: #@|' || char(10) || 'Drive: #@|', 2);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 1, 'No se pudo completar la operación con la carpeta o la unidad del libro.' || char(10) || 'Carpeta: #@|' || char(10) || 'Unidad: #@|', 2);

-- 2: the drive scan found a registered book whose folder is gone; @ folder, @ drive with colon.
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 2, 'A pasta #@| do livro registrado na unidade #@| não foi encontrada.' || char(10) || 'Ela pode ter sido apagada ou movida.', 2);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 2, 'The folder #@| of the book registered on drive #@| could not be found.' || char(10) || 'It may have been deleted or moved.', 2);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 2, 'No se encontró la carpeta #@| del libro registrado en la unidad #@|.' || char(10) || 'Puede que se haya borrado o movido.', 2);

-- 3: follows 2 once that book's record is gone and its drive letter is free; @ folder.
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 3, 'O livro da pasta #@| foi retirado da sua lista de livros e a unidade dele foi liberada.', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 3, 'The book in folder #@| has been removed from your book list, and its drive letter is free again.', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 3, 'El libro de la carpeta #@| se quitó de su lista de libros y su unidad quedó libre.', 1);

-- 4: install refused because no drive letter is free; shown as stored, no parameters.
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 4, 'Não há nenhuma letra de unidade livre (D: a Z:) para instalar um novo livro.' || char(10) || 'Remova um livro que você não usa mais ou libere uma unidade e tente novamente.', 0);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 4, 'There is no free drive letter (D: to Z:) for a new book.' || char(10) || 'Remove a book you no longer use, or free a drive letter, and try again.', 0);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 4, 'No hay ninguna letra de unidad libre (D: a Z:) para instalar un libro nuevo.' || char(10) || 'Elimine un libro que ya no utilice o libere una unidad e inténtelo de nuevo.', 0);

-- 5: install window prompt to pick a book's ZIP file; no parameters.
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 5, 'Selecione o arquivo ZIP do livro que você deseja instalar.', 0);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 5, 'Choose the ZIP file of the book you want to install.', 0);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 5, 'Seleccione el archivo ZIP del libro que desea instalar.', 0);

-- 7: a book cannot be opened: its drive does not show it and no letter is free to mount it; @ registered drive with colon.
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 7, 'O livro registrado na unidade #@| não está disponível agora e não há nenhuma letra de unidade livre para abri-lo.' || char(10) || 'Libere uma unidade e tente novamente.', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 7, 'The book registered on drive #@| is not available right now, and there is no free drive letter to open it.' || char(10) || 'Free a drive letter and try again.', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 7, 'El libro registrado en la unidad #@| no está disponible ahora y no hay ninguna letra de unidad libre para abrirlo.' || char(10) || 'Libere una unidad e inténtelo de nuevo.', 1);

-- 10: end of a removal when files stayed behind (after 21); @ drive letter without colon.
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 10, 'O livro da unidade #@:| foi removido da sua lista de livros.', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 10, 'The book on drive #@:| has been removed from your book list.', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 10, 'El libro de la unidad #@:| se eliminó de su lista de libros.', 1);

-- 11: removal stopped because the book's drive could not be released; @ folder (the free letter also passed is not shown).
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 11, 'Não foi possível desconectar a unidade do livro da pasta #@|.' || char(10) || 'O livro continua na sua lista; tente removê-lo novamente.', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 11, 'The drive of the book in folder #@| could not be released.' || char(10) || 'The book stays in your list; please try removing it again.', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 11, 'No se pudo desconectar la unidad del libro de la carpeta #@|.' || char(10) || 'El libro sigue en su lista; intente eliminarlo de nuevo.', 1);

-- 12: a book whose drive does not show it was taken off the list, files kept; @ drive letter without colon.
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 12, 'A unidade #@:| não mostra o livro neste momento, por isso o livro foi retirado da sua lista.' || char(10) || 'Os arquivos do livro não foram apagados.', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 12, 'Drive #@:| does not show the book at the moment, so the book has been removed from your list.' || char(10) || 'Its files have not been deleted.', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 12, 'La unidad #@:| no muestra el libro en este momento, por eso el libro se quitó de su lista.' || char(10) || 'Los archivos del libro no se borraron.', 1);

-- 13: install refused because a book of that name is already installed; @ book name, @ its drive letter without colon.
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 13, 'O livro #@| já está instalado na unidade #@:|.' || char(10) || 'Para instalá-lo de novo, remova-o primeiro pela lista de livros.', 2);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 13, 'The book #@| is already installed on drive #@:|.' || char(10) || 'To install it again, remove it from the book list first.', 2);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 13, 'El libro #@| ya está instalado en la unidad #@:|.' || char(10) || 'Para instalarlo de nuevo, elimínelo primero desde la lista de libros.', 2);

-- 15: first entry of the book list, shown in brackets; no parameters. Starts with a blank so that it never reads as a book and keeps Open/Remove disabled.
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 15, ' Selecione um livro ', 0);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 15, ' Choose a book ', 0);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 15, ' Elija un libro ', 0);

-- 16: error detail under 1: the drive letter is not a single letter; no parameters.
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 16, 'A letra de unidade informada não é válida.', 0);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 16, 'The drive letter given is not valid.', 0);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 16, 'La letra de unidad indicada no es válida.', 0);

-- 19: install progress line while the ZIP file is unpacked, dots are added after it; @ book name.
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 19, 'Instalando o livro @', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 19, 'Installing book @', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 19, 'Instalando el libro @', 1);

-- 20: the ZIP file could not be deleted after unpacking, the install goes on; @ book name.
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 20, 'O livro #@| foi descompactado, mas não foi possível apagar o arquivo ZIP dele.' || char(10) || 'A instalação vai continuar; você pode apagar o arquivo ZIP mais tarde.', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 20, 'Book #@| has been unpacked, but its ZIP file could not be deleted.' || char(10) || 'The installation will go on; you can delete the ZIP file yourself later.', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 20, 'El libro #@| se descomprimió, pero no se pudo borrar su archivo ZIP.' || char(10) || 'La instalación continuará; puede borrar el archivo ZIP más tarde.', 1);

-- 21: some files or subfolders of a removed book could not be deleted; @ book folder.
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 21, 'Alguns arquivos ou pastas de #@| não puderam ser apagados.' || char(10) || 'Você pode apagá-los mais tarde.', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 21, 'Some files or folders in #@| could not be deleted.' || char(10) || 'You can delete them yourself later.', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 21, 'Algunos archivos o carpetas de #@| no se pudieron borrar.' || char(10) || 'Puede borrarlos más tarde.', 1);

-- 22: install stopped because the book folder is missing after unpacking; @ book folder.
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 22, 'Não foi possível instalar o livro: a pasta #@| não foi encontrada depois da descompactação.' || char(10) || 'Obtenha novamente o arquivo ZIP do livro e repita a instalação.', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 22, 'The book could not be installed: the folder #@| was not found after unpacking.' || char(10) || 'Please get the book''s ZIP file again and repeat the installation.', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 22, 'No se pudo instalar el libro: no se encontró la carpeta #@| después de descomprimir.' || char(10) || 'Obtenga de nuevo el archivo ZIP del libro y repita la instalación.', 1);

-- 23: install progress line once unpacking is done; stays until the next install; @ book name.
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 23, 'Livro @ descompactado.', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 23, 'Book @ unpacked.', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 23, 'Libro @ descomprimido.', 1);

-- 24: error detail under 1: the folder to map does not exist; no parameters.
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 24, 'A pasta do livro não existe.', 0);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 24, 'The book folder does not exist.', 0);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 24, 'La carpeta del libro no existe.', 0);

-- 25: error detail under 1: the drive letter belongs to a disk of the computer; no parameters.
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 25, 'Esta letra de unidade já está sendo usada por um disco do computador.', 0);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 25, 'This drive letter is already used by a disk of this computer.', 0);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 25, 'Esta letra de unidad ya la usa un disco del equipo.', 0);

-- 26: title of the book list window; no parameters.
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 26, 'Meus livros', 0);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 26, 'My books', 0);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 26, 'Mis libros', 0);

-- 27: information line of the install window; @ is " [download folder]", blank included, so it follows a colon directly.
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 27, 'Use o botão "Selecionar livro" para instalar um livro a partir do arquivo ZIP. Pasta dos livros:@', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 27, 'Use the "Select book" button to install a book from its ZIP file. Books folder:@', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 27, 'Use el botón "Seleccionar libro" para instalar un libro desde su archivo ZIP. Carpeta de los libros:@', 1);

-- 30: removal finished, files and folder deleted; @ drive letter without colon, @ book folder.
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 30, 'O livro da unidade #@:| foi removido e a pasta #@| foi apagada.', 2);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 30, 'The book on drive #@:| has been removed and its folder #@| has been deleted.', 2);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 30, 'El libro de la unidad #@:| se eliminó y su carpeta #@| se borró.', 2);

-- 31: removal finished but the book folder could not be deleted; @ drive letter without colon, @ book folder.
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 31, 'O livro da unidade #@:| foi removido da sua lista, mas não foi possível apagar a pasta #@| por completo.' || char(10) || 'Você pode apagá-la mais tarde.', 2);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 31, 'The book on drive #@:| has been removed from your list, but its folder #@| could not be deleted completely.' || char(10) || 'You can delete it yourself later.', 2);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 31, 'El libro de la unidad #@:| se eliminó de su lista, pero no se pudo borrar por completo su carpeta #@|.' || char(10) || 'Puede borrarla más tarde.', 2);

-- 32: yes/no question before leaving the program from any window; no parameters.
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 32, 'Deseja sair do ZEKO Download?' || char(10) || 'As unidades dos seus livros serão desconectadas.', 0);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 32, 'Do you want to exit ZEKO Download?' || char(10) || 'The drives of your books will be released.', 0);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 32, '¿Desea salir de ZEKO Download?' || char(10) || 'Las unidades de sus libros se desconectarán.', 0);

-- 33: a book cannot be opened while the course is running; shown as stored, no parameters.
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 33, 'O curso já está em execução.' || char(10) || 'Feche o curso antes de abrir um livro.', 0);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 33, 'The course is already running.' || char(10) || 'Close the course before opening a book.', 0);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 33, 'El curso ya se está ejecutando.' || char(10) || 'Cierre el curso antes de abrir un libro.', 0);

-- 34: title of the main window; no parameters.
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 34, 'Gerenciador de Livros do ZEKO', 0);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 34, 'ZEKO Book Manager', 0);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 34, 'Administrador de Libros de ZEKO', 0);

-- 35: leaving from the book list is refused while the course is running; no parameters.
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 35, 'O curso ainda está em execução.' || char(10) || 'Feche o curso antes de sair do ZEKO Download.', 0);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 35, 'The course is still running.' || char(10) || 'Close the course before exiting ZEKO Download.', 0);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 35, 'El curso todavía se está ejecutando.' || char(10) || 'Cierre el curso antes de salir de ZEKO Download.', 0);

-- 36: yes/no question before removing a book and deleting its files; @ book name.
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 36, 'Deseja remover o livro #@|?' || char(10) || 'A unidade dele será desconectada e todos os arquivos do livro serão apagados do disco.', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 36, 'Do you want to remove the book #@|?' || char(10) || 'Its drive will be released and all of its files will be deleted from the disk.', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 36, '¿Desea eliminar el libro #@|?' || char(10) || 'Su unidad se desconectará y todos sus archivos se borrarán del disco.', 1);

-- 37: a book cannot be removed while the course is running; shown as stored, no parameters.
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 37, 'O curso está em execução.' || char(10) || 'Feche o curso antes de remover um livro.', 0);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 37, 'The course is running.' || char(10) || 'Close the course before removing a book.', 0);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 37, 'El curso se está ejecutando.' || char(10) || 'Cierre el curso antes de eliminar un libro.', 0);

-- 38: a book was installed and mounted; @ book name, @ drive letter without colon.
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 38, 'O livro #@| foi instalado com sucesso na unidade #@:|.' || char(10) || 'Para abri-lo, use a lista de livros.', 2);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 38, 'The book #@| has been installed successfully on drive #@:|.' || char(10) || 'To open it, go to the book list.', 2);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 38, 'El libro #@| se instaló correctamente en la unidad #@:|.' || char(10) || 'Para abrirlo, vaya a la lista de libros.', 2);

-- 39: the chosen ZIP file does not exist; @ full path of the file.
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 39, 'O arquivo #@| não foi encontrado.' || char(10) || 'Escolha outro arquivo.', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 39, 'The file #@| could not be found.' || char(10) || 'Please choose another file.', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 39, 'No se encontró el archivo #@|.' || char(10) || 'Elija otro archivo.', 1);

-- 40: notice without buttons while a removed book's files are deleted (closes on a click or by itself); @ book name.
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 40, 'Apagando os arquivos do livro #@|.' || char(10) || 'Aguarde, por favor...', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 40, 'Deleting the files of book #@|.' || char(10) || 'Please wait...', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 40, 'Borrando los archivos del libro #@|.' || char(10) || 'Espere, por favor...', 1);

-- 41: information line of the book list window; no parameters.
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 41, 'Escolha um livro na lista e clique em OK para abri-lo ou em Remover para apagá-lo.', 0);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 41, 'Choose a book from the list, then click OK to open it or Remove to delete it.', 0);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 41, 'Elija un libro de la lista y haga clic en OK para abrirlo o en Eliminar para borrarlo.', 0);

-- 42: appended to the drive-mapping failure report when a drive letter is to be
-- released but shows another folder than the book's; the letter is left alone.
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 42, 'Esta letra de unidade mostra outra pasta, e não a deste livro; ela foi mantida como está.', 0);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 42, 'This drive letter shows another folder, not this book''s, so it was left as it is.', 0);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 42, 'Esta letra de unidad muestra otra carpeta, no la de este libro; se ha dejado como está.', 0);

-- 43: a course program cannot start because Wine is not installed; no parameters.
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 43, 'Não é possível iniciar o curso: o #Wine| não está instalado neste computador.' || char(10) || 'Instale o Wine (pacotes #wine|, #wine64| e #wine32:i386|) e tente novamente.', 0);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 43, 'The course cannot start: #Wine| is not installed on this computer.' || char(10) || 'Install Wine (packages #wine|, #wine64| and #wine32:i386|) and try again.', 0);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 43, 'No se puede iniciar el curso: #Wine| no está instalado en este equipo.' || char(10) || 'Instale Wine (paquetes #wine|, #wine64| y #wine32:i386|) e inténtelo de nuevo.', 0);

-- 44: the course's 32-bit programs cannot run because Wine's 32-bit part is missing; no parameters.
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 44, 'Os programas do curso são programas Windows de 32 bits e não podem ser executados neste computador: a parte de 32 bits do Wine (#wine32|) não está instalada.' || char(10) || 'Para corrigir, instale-a (#dpkg --add-architecture i386|, depois #apt-get install wine32:i386|) e tente novamente.', 0);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 44, 'The course''s programs are 32-bit Windows programs, and they cannot run on this computer: Wine''s 32-bit part (#wine32|) is not installed.' || char(10) || 'To fix this, install it (#dpkg --add-architecture i386|, then #apt-get install wine32:i386|) and try again.', 0);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 44, 'Los programas del curso son programas de Windows de 32 bits y no se pueden ejecutar en este equipo: la parte de 32 bits de Wine (#wine32|) no está instalada.' || char(10) || 'Para solucionarlo, instálela (#dpkg --add-architecture i386|, luego #apt-get install wine32:i386|) e inténtelo de nuevo.', 0);

-- 45: the course's 32-bit programs cannot run because Linux was started without 32-bit support; no parameters.
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 45, 'Os programas do curso são programas Windows de 32 bits e não podem ser executados neste computador: o Linux foi iniciado sem suporte a programas de 32 bits.' || char(10) || 'Para corrigir, inicie o Linux com a opção de inicialização #ia32_emulation=on| (com a parte de 32 bits do Wine, #wine32|, instalada) e tente novamente.', 0);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 45, 'The course''s programs are 32-bit Windows programs, and they cannot run on this computer: Linux was started without 32-bit support.' || char(10) || 'To fix this, start Linux with the boot option #ia32_emulation=on| (with Wine''s 32-bit part, #wine32|, installed) and try again.', 0);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 45, 'Los programas del curso son programas de Windows de 32 bits y no se pueden ejecutar en este equipo: Linux se inició sin soporte para programas de 32 bits.' || char(10) || 'Para solucionarlo, inicie Linux con la opción de arranque #ia32_emulation=on| (con la parte de 32 bits de Wine, #wine32|, instalada) e inténtelo de nuevo.', 0);

-- 46: a book cannot be opened because its start program (the launcher or the book's Autorun.exe) is missing; @ the program's path.
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 46, 'Não é possível iniciar o curso: o programa #@| não foi encontrado.' || char(10) || 'Reinstale o livro ou o ZEKO Download e tente novamente.', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 46, 'The course cannot start: the program #@| could not be found.' || char(10) || 'Reinstall the book or ZEKO Download and try again.', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 46, 'No se puede iniciar el curso: no se encontró el programa #@|.' || char(10) || 'Reinstale el libro o ZEKO Download e inténtelo de nuevo.', 1);

-- 47: a book's start program exists but could not be started; @ the program's path (the system's reason follows on a new line).
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 47, 'Não foi possível iniciar o programa #@|; o curso não foi aberto.', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 47, 'The program #@| could not be started, so the course was not opened.', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 47, 'No se pudo iniciar el programa #@|; el curso no se abrió.', 1);

-- 48: an archive chosen for installing is not a ZIP file, cannot be read, or is encrypted; @ the file. The archive is kept.
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 48, 'O arquivo #@| não é um arquivo ZIP de livro que possa ser lido (ele pode estar incompleto ou protegido por senha).' || char(10) || 'Nada foi instalado e o arquivo foi mantido.', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 48, 'The file #@| is not a book ZIP file that can be read (it may be incomplete or protected by a password).' || char(10) || 'Nothing was installed and the file was kept.', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 48, 'El archivo #@| no es un archivo ZIP de libro que se pueda leer (puede estar incompleto o protegido con contraseña).' || char(10) || 'No se instaló nada y el archivo se conservó.', 1);

-- 49: an entry of the archive failed its check (CRC or sizes); @ the file, @ the entry. The archive is kept.
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 49, 'O arquivo #@| está danificado: o conteúdo de #@| não confere.' || char(10) || 'Nada foi instalado e o arquivo foi mantido. Baixe o livro novamente.', 2);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 49, 'The file #@| is damaged: the contents of #@| do not check out.' || char(10) || 'Nothing was installed and the file was kept. Please download the book again.', 2);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 49, 'El archivo #@| está dañado: el contenido de #@| no es correcto.' || char(10) || 'No se instaló nada y el archivo se conservó. Descargue el libro de nuevo.', 2);

-- 50: an entry would be written outside the book's folder or is a link; @ the file, @ the entry. The archive is kept.
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 50, 'O arquivo #@| não foi instalado porque contém um nome inseguro: #@|.' || char(10) || 'Um livro só pode conter arquivos dentro da própria pasta. O arquivo foi mantido.', 2);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 50, 'The file #@| was not installed because it holds an unsafe name: #@|.' || char(10) || 'A book may only hold files inside its own folder. The file was kept.', 2);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 50, 'El archivo #@| no se instaló porque contiene un nombre inseguro: #@|.' || char(10) || 'Un libro solo puede contener archivos dentro de su propia carpeta. El archivo se conservó.', 2);

-- 51: not enough free disk space for the book; @ megabytes needed, @ megabytes free. The archive is kept.
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 51, 'Não há espaço livre suficiente no disco para instalar este livro: são necessários #@ MB| e há #@ MB| livres.' || char(10) || 'Libere espaço e tente novamente. O arquivo foi mantido.', 2);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 51, 'There is not enough free disk space to install this book: #@ MB| are needed and #@ MB| are free.' || char(10) || 'Free some space and try again. The file was kept.', 2);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 51, 'No hay suficiente espacio libre en el disco para instalar este libro: se necesitan #@ MB| y hay #@ MB| libres.' || char(10) || 'Libere espacio e inténtelo de nuevo. El archivo se conservó.', 2);

-- 52: the archive expands to more than any book, or far more than it is; @ the file. The archive is kept.
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 52, 'O arquivo #@| é grande demais para ser um livro e não foi instalado.' || char(10) || 'O arquivo foi mantido.', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 52, 'The file #@| is too large to be a book and was not installed.' || char(10) || 'The file was kept.', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 52, 'El archivo #@| es demasiado grande para ser un libro y no se instaló.' || char(10) || 'El archivo se conservó.', 1);

-- 53: the archive holds no file; @ the file. The archive is kept.
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 53, 'O arquivo #@| está vazio: não contém nenhum arquivo de livro.' || char(10) || 'Nada foi instalado.', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 53, 'The file #@| is empty: it holds no book files.' || char(10) || 'Nothing was installed.', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 53, 'El archivo #@| está vacío: no contiene ningún archivo de libro.' || char(10) || 'No se instaló nada.', 1);

-- 54: the book's folder could not be created or written; @ the book folder (the system's reason follows on a new line). The archive is kept.
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 54, 'Não foi possível gravar a pasta do livro #@|.' || char(10) || 'Nada foi instalado e o arquivo foi mantido.', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 54, 'The book''s folder #@| could not be written.' || char(10) || 'Nothing was installed and the file was kept.', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 54, 'No se pudo escribir la carpeta del libro #@|.' || char(10) || 'No se instaló nada y el archivo se conservó.', 1);

-- 55: follows 2 when the vanished book's record could not be taken off the list (the registry refused); @ folder, @ the database's reason. Its drive letter stays reserved.
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 55, 'O livro da pasta #@| não pôde ser retirado da sua lista de livros, e a unidade dele continua reservada.' || char(10) || 'Motivo: @', 2);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 55, 'The book in folder #@| could not be removed from your book list, and its drive letter stays reserved.' || char(10) || 'Reason: @', 2);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 55, 'El libro de la carpeta #@| no se pudo quitar de su lista de libros, y su unidad sigue reservada.' || char(10) || 'Motivo: @', 2);

-- 56: the download folder does not exist, so no book can be installed; @ the download folder. The archive is kept.
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 56, 'A pasta de download #@| não existe.' || char(10) || 'Verifique a unidade escolhida para os livros. Nada foi instalado e o arquivo foi mantido.', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 56, 'The download folder #@| does not exist.' || char(10) || 'Check the drive chosen for the books. Nothing was installed and the file was kept.', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 56, 'La carpeta de descarga #@| no existe.' || char(10) || 'Verifique la unidad elegida para los libros. No se instaló nada y el archivo se conservó.', 1);

-- 57: the ZIP file's name gives no book name (empty, or only dots); @ the file's name. The archive is kept.
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 57, 'O nome do arquivo #@| não dá um nome de livro.' || char(10) || 'Dê ao arquivo o nome do livro e tente novamente. Nada foi instalado e o arquivo foi mantido.', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 57, 'The file name #@| gives no book name.' || char(10) || 'Rename the file after the book and try again. Nothing was installed and the file was kept.', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 57, 'El nombre del archivo #@| no da un nombre de libro.' || char(10) || 'Dé al archivo el nombre del libro e inténtelo de nuevo. No se instaló nada y el archivo se conservó.', 1);

-- 58: the book name holds a character Windows does not take in a folder name, or ends in a dot; @ the book name. The archive is kept.
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 58, 'O nome de livro #@| não serve como nome de pasta: contém um caractere que o Windows não aceita nele (como \ / : * ? " < >) ou de controle, ou termina em ponto.' || char(10) || 'Renomeie o arquivo e tente novamente. Nada foi instalado e o arquivo foi mantido.', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 58, 'The book name #@| cannot be a folder name: it holds a character Windows does not take there (such as \ / : * ? " < >) or a control character, or ends in a dot.' || char(10) || 'Rename the file and try again. Nothing was installed and the file was kept.', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 58, 'El nombre de libro #@| no sirve como nombre de carpeta: contiene un carácter que Windows no acepta en él (como \ / : * ? " < >) o de control, o termina en punto.' || char(10) || 'Cambie el nombre del archivo e inténtelo de nuevo. No se instaló nada y el archivo se conservó.', 1);

-- 59: the book name is reserved (a Windows device name such as CON or COM1, or a name of the manager's own working folders); @ the book name. The archive is kept.
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 59, 'O nome de livro #@| é reservado pelo Windows ou pelo ZEKO Download e não pode ser nome de pasta.' || char(10) || 'Renomeie o arquivo e tente novamente. Nada foi instalado e o arquivo foi mantido.', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 59, 'The book name #@| is reserved by Windows or by ZEKO Download and cannot be a folder name.' || char(10) || 'Rename the file and try again. Nothing was installed and the file was kept.', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 59, 'El nombre de libro #@| está reservado por Windows o por ZEKO Download y no puede ser nombre de carpeta.' || char(10) || 'Cambie el nombre del archivo e inténtelo de nuevo. No se instaló nada y el archivo se conservó.', 1);

-- 60: the book name is longer than a folder name can be; @ the book name. The archive is kept.
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 60, 'O nome de livro #@| é longo demais para um nome de pasta.' || char(10) || 'Dê ao arquivo um nome mais curto e tente novamente. Nada foi instalado e o arquivo foi mantido.', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 60, 'The book name #@| is too long for a folder name.' || char(10) || 'Give the file a shorter name and try again. Nothing was installed and the file was kept.', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 60, 'El nombre de libro #@| es demasiado largo para un nombre de carpeta.' || char(10) || 'Dé al archivo un nombre más corto e inténtelo de nuevo. No se instaló nada y el archivo se conservó.', 1);

-- 61: where the book's folder goes there is something that is no folder of its own (a link or a file); @ the book folder. The archive is kept.
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 61, 'No lugar da pasta do livro #@| há um atalho ou um arquivo, não uma pasta.' || char(10) || 'Nada foi instalado e o arquivo foi mantido.', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 61, 'Where the book''s folder #@| goes there is a link or a file, not a folder.' || char(10) || 'Nothing was installed and the file was kept.', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 61, 'En el lugar de la carpeta del libro #@| hay un acceso directo o un archivo, no una carpeta.' || char(10) || 'No se instaló nada y el archivo se conservó.', 1);

-- 62: a removal is refused because the book's recorded folder is not a folder of its own directly in the download folder; @ book name, @ its folder, @ the download folder. Nothing is removed.
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 62, 'O livro #@| não pode ser removido: a pasta #@| não é uma pasta de livro dentro de #@|.' || char(10) || 'Nada foi removido.', 3);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 62, 'The book #@| cannot be removed: the folder #@| is not a book folder inside #@|.' || char(10) || 'Nothing was removed.', 3);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 62, 'El libro #@| no se puede eliminar: la carpeta #@| no es una carpeta de libro dentro de #@|.' || char(10) || 'No se eliminó nada.', 3);

-- 63: a removal is refused because the book's folder also holds, or is, another registered book (of this or another user); @ book name, @ its folder. Nothing is removed.
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 63, 'O livro #@| não pode ser removido: a pasta #@| também é de outro livro registrado neste computador.' || char(10) || 'Nada foi removido.', 2);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 63, 'The book #@| cannot be removed: the folder #@| also belongs to another book registered on this computer.' || char(10) || 'Nothing was removed.', 2);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 63, 'El libro #@| no se puede eliminar: la carpeta #@| también es de otro libro registrado en este ordenador.' || char(10) || 'No se eliminó nada.', 2);

-- 64: the book registry refused a change, so what was asked did not happen; @ book name (the reason, message 70, follows on a new line).
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 64, 'O registro de livros não aceitou a alteração do livro #@|, e ela não foi feita.', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 64, 'The book registry did not accept the change to the book #@|, so it was not made.', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 64, 'El registro de libros no aceptó el cambio del libro #@|, y no se hizo.', 1);

-- 65: the course's CD drive (DriveCD) could not be written into the settings file, so the course was not started; @ drive with colon, @ the settings file (the reason follows on a new line).
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 65, 'Não foi possível gravar a unidade #@| como unidade do curso em #@|, e o curso não foi iniciado.', 2);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 65, 'The drive #@| could not be written as the course''s drive into #@|, so the course was not started.', 2);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 65, 'No se pudo escribir la unidad #@| como unidad del curso en #@|, y el curso no se inició.', 2);

-- 66: a removal stopped because the book's folder could not be taken out of the way before deleting it; @ the book folder (the reason follows on a new line). Book, drive and files stay.
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 66, 'A pasta #@| do livro não pôde ser apagada.' || char(10) || 'Nada foi removido.', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 66, 'The book''s folder #@| could not be deleted.' || char(10) || 'Nothing was removed.', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 66, 'No se pudo borrar la carpeta #@| del libro.' || char(10) || 'No se eliminó nada.', 1);

-- 70: the line that gives the reason below a report; @ the reason (one of 71 to 79).
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 70, 'Motivo: @', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 70, 'Reason: @', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 70, 'Motivo: @', 1);

-- 71 to 79: reasons a file, folder or the registry could not be used, after message 70 or in 55; no parameters. The system's own code follows them in brackets for whoever helps the user.
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 71, 'sem permissão para essa operação', 0);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 71, 'no permission for this operation', 0);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 71, 'sin permiso para esa operación', 0);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 72, 'o disco está cheio', 0);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 72, 'the disk is full', 0);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 72, 'el disco está lleno', 0);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 73, 'o disco ou o arquivo só permite leitura', 0);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 73, 'the disk or the file is read-only', 0);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 73, 'el disco o el archivo es de solo lectura', 0);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 74, 'a pasta ou o arquivo não existe', 0);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 74, 'the folder or file does not exist', 0);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 74, 'la carpeta o el archivo no existe', 0);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 75, 'o nome é longo demais', 0);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 75, 'the name is too long', 0);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 75, 'el nombre es demasiado largo', 0);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 76, 'está em uso por outro programa', 0);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 76, 'it is in use by another program', 0);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 76, 'está en uso por otro programa', 0);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 77, 'erro de leitura ou gravação no disco', 0);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 77, 'a disk read or write error', 0);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 77, 'error de lectura o escritura en el disco', 0);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 78, 'o arquivo do registro de livros está danificado', 0);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 78, 'the book registry file is damaged', 0);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 78, 'el archivo del registro de libros está dañado', 0);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 79, 'erro do sistema', 0);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 79, 'a system error', 0);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 79, 'error del sistema', 0);

-- 67: the archive holds no book: no Autorun.exe and Idioma.kvt at its top, nor at the top of its one folder; @ the archive. Nothing was written.
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 67, 'O arquivo #@| não contém um livro: um livro traz os arquivos Autorun.exe e Idioma.kvt na sua pasta principal.' || char(10) || 'Nada foi instalado e o arquivo foi mantido.', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 67, 'The file #@| does not hold a book: a book has the files Autorun.exe and Idioma.kvt in its main folder.' || char(10) || 'Nothing was installed and the file was kept.', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 67, 'El archivo #@| no contiene un libro: un libro trae los archivos Autorun.exe e Idioma.kvt en su carpeta principal.' || char(10) || 'No se instaló nada y el archivo se conservó.', 1);

-- 68: an entry is compressed with a method that cannot be read; @ the archive, @ the method's name, @ the entry. Nothing was written.
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 68, 'O arquivo #@| usa o método de compressão #@|, que não pode ser lido, em #@|.' || char(10) || 'Compacte o livro novamente com o método Deflate, o padrão dos programas de ZIP. Nada foi instalado e o arquivo foi mantido.', 3);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 68, 'The file #@| uses the compression method #@|, which cannot be read, in #@|.' || char(10) || 'Compress the book again with the Deflate method, the usual one of ZIP programs. Nothing was installed and the file was kept.', 3);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 68, 'El archivo #@| usa el método de compresión #@|, que no se puede leer, en #@|.' || char(10) || 'Comprima el libro de nuevo con el método Deflate, el habitual de los programas ZIP. No se instaló nada y el archivo se conservó.', 3);

-- 69: the progress line while a book is extracted; @ book name, @ the share written, a whole number of percent.
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 69, 'Instalando o livro @… @%', 2);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 69, 'Installing book @… @%', 2);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 69, 'Instalando el libro @… @%', 2);

-- 80: a ZIP file handed to the manager (opened with it in the file manager, or given to a second copy) came while it was busy (an install, a removal or an opening under way, or a box waiting for an answer); @ the file. Shown once that is over; the second copy prints it as well.
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('POR', 80, 'O arquivo #@| não foi instalado porque o ZEKO Download estava ocupado quando ele foi aberto.' || char(10) || 'O arquivo foi mantido. Para instalá-lo, abra-o de novo ou escolha-o na janela de instalação.', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ING', 80, 'The file #@| was not installed because ZEKO Download was busy when it was opened.' || char(10) || 'The file was kept. To install it, open it again or choose it in the install window.', 1);
INSERT INTO Mensagens (Idioma, Codigo, Descricao, QtdParam) VALUES ('ESP', 80, 'El archivo #@| no se instaló porque ZEKO Download estaba ocupado cuando se abrió.' || char(10) || 'El archivo se conservó. Para instalarlo, ábralo de nuevo o elíjalo en la ventana de instalación.', 1);
