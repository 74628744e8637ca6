#include "DialogoCurso.h"

namespace messages::dialogo {

const QString kLegendaOptMsg[2] = {QStringLiteral("A:"), QStringLiteral("B:")};

const QString kLegendaOpcao[3] = {
    QStringLiteral("Visualizar as respostas corrigidas desta(e) Seção (Practice Test)."),
    QStringLiteral("Apagar todas as respostas desta(e) Seção (Practice Test) e refazê-las novamente."),
    QStringLiteral("Deseja apagar e refazer somente os exercícios errados?"),
};

QString pastaDaEntrada(const QString &texto)
{
    // Trimmed first, so "C:\Livros\ " loses its backslash as well as its blank.
    QString pasta = texto.trimmed();
    if (pasta.endsWith(u'\\'))
        pasta.chop(1);
    return pasta;
}

bool temEntradaDePasta(int tipoCaixa)
{
    return tipoCaixa == 19 || tipoCaixa == 25;
}

bool primeiroBotaoResponde(int tipoCaixa, const QString &textoEntrada)
{
    return !temEntradaDePasta(tipoCaixa) || !textoEntrada.trimmed().isEmpty();
}

Opcoes escolheOpcao(int n)
{
    switch (n) {
    case 2:
        return {false, false}; // erase all answers and redo them
    case 3:
        return {false, true}; // redo only the wrong exercises
    default:
        return {true, false}; // view the corrected answers
    }
}

LicaoSecao licaoSecao(const QString &entrada)
{
    const qsizetype barra = entrada.indexOf(u'/');
    if (barra < 0)
        return {entrada.trimmed(), QString()};
    return {entrada.left(barra).trimmed(), entrada.mid(barra + 1).trimmed()};
}

QString legendaDrive(int tipoCaixa, const QString &idioma, const QString &pastaEscolhida)
{
    const bool ing = idioma == QStringLiteral("ING");
    if (tipoCaixa == 25)
        return ing                               ? QStringLiteral("on")
               : idioma == QStringLiteral("ESP") ? QStringLiteral("en")
                                                 : QStringLiteral("em");
    if (tipoCaixa == 26)
        return (ing ? QStringLiteral("from ") : QStringLiteral("de ")) + pastaEscolhida;
    return {};
}

QString cortaLegenda(QString legenda, int largura, const std::function<int(const QString &)> &mede)
{
    while (mede(legenda) > largura) {
        const qsizetype barra = legenda.lastIndexOf(u'\\');
        if (barra < 0)
            break;
        legenda = legenda.left(barra) + QStringLiteral("...");
    }
    return legenda;
}

} // namespace messages::dialogo
