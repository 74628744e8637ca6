#include "MessageBoxLayout.h"

#include <QStringList>

#include <climits>
#include <cmath>

namespace messages {

namespace {

// The integer nearest to x, halves to the even neighbour.
int nearest(double x)
{
    return int(std::nearbyint(x));
}

struct LayoutInfo {
    std::array<bool, 3> faces;
    std::array<std::pair<int, int>, 3> places; // Left, Top of each face
    int fundoLeft;                             // INT_MIN: unchanged
    int fxBottonTop;
    int baseWidth;
    int textBase; // 0: no widening
};

const LayoutInfo &layoutInfo(int layout)
{
    static const LayoutInfo table[9] = {
        {{false, false, false}, {{{650, 1200}, {1200, 1200}, {2300, 1200}}}, -2000, 1150, 2480, 2100},
        {{true, false, false}, {{{650, 1200}, {1200, 1200}, {2300, 1200}}}, -2000, 1950, 2480, 2100},
        {{true, true, false}, {{{100, 1200}, {1200, 1200}, {2300, 1200}}}, -2000, 1950, 2480, 2100},
        {{true, true, true}, {{{100, 1200}, {1200, 1200}, {2300, 1200}}}, -970, 1950, 3500, 3240},
        {{true, true, true}, {{{1200, 1600}, {2500, 1600}, {3650, 1100}}}, 350, 2350, 3380, 2100},
        {{true, true, true}, {{{200, 2500}, {1300, 2500}, {3350, 1850}}}, 150, 3280, 3700, 2100},
        {{true, true, false}, {{{300, 1900}, {1400, 1900}, {2300, 1200}}}, -1800, 2650, 3600, 2100},
        // Numbered but chosen by no box type.
        {{true, true, false}, {{{300, 1900}, {1400, 1900}, {2300, 1200}}}, -1800, 2650, 0, 0},
        {{true, true, false}, {{{300, 1900}, {1400, 1900}, {2300, 1200}}}, INT_MIN, 2650, 4800, 0},
    };
    return table[layout];
}

// Where the course dialogues' controls stand in each layout (design places).
struct ControlesLayout {
    bool temProcuraDir = false;
    std::pair<int, int> procuraDir{200, 1150};
    bool temLicao = false;
    int licaoLeft = 0;
    int licaoWidth = MessageBoxLayout::kLarguraLista;
    bool temTextoDrive = false;
    std::pair<int, int> textoDrive{0, 0};
    std::array<std::pair<int, int>, 2> optMsg{{{480, 1150}, {1320, 1150}}};
};

const ControlesLayout &controlesDoLayout(int layout)
{
    static const ControlesLayout nenhum;
    static const ControlesLayout quatro{.temProcuraDir = true, .procuraDir = {200, 1150}};
    static const ControlesLayout cinco{.temProcuraDir = true,
                                       .procuraDir = {900, 1450},
                                       .temLicao = true,
                                       .licaoLeft = 700,
                                       .temTextoDrive = true,
                                       .textoDrive = {320, 1500},
                                       .optMsg = {{{900, 1450}, {1740, 1450}}}};
    static const ControlesLayout seis{.temLicao = true, .temTextoDrive = true, .textoDrive = {1170, 1500}};
    static const ControlesLayout oito{.temLicao = true, .licaoWidth = MessageBoxLayout::kLarguraListaLarga};
    switch (layout) {
    case 4:
        return quatro;
    case 5:
        return cinco;
    case 6:
        return seis;
    case 8:
        return oito;
    default:
        return nenhum;
    }
}

} // namespace

QString MessageBoxLayout::validacao(int tipoCaixa, int tamanhoFonte, int tipoMensagem)
{
    QStringList r;
    if (tipoCaixa > 27)
        r.append(QStringLiteral("Tipo de Caixa de Mensagens [%1] Invalido!").arg(tipoCaixa));
    if (tamanhoFonte != 8 && tamanhoFonte != 10 && tamanhoFonte != 12 && tamanhoFonte != 14)
        r.append(QStringLiteral("Tamanho de Fonte [%1] Invalido!").arg(tamanhoFonte));
    if (tipoMensagem < 0 || tipoMensagem > 1)
        r.append(QStringLiteral("Tipo de Mensagem [%1] Invalido!").arg(tipoMensagem));
    return r.join(u'\n');
}

int MessageBoxLayout::caracteresPorLinha(int tamanhoFonte)
{
    switch (tamanhoFonte) {
    case 8:
        return 78;
    case 12:
        return 57;
    case 14:
        return 46;
    default:
        return 85;
    }
}

QString MessageBoxLayout::QuebraTexto(const QString &texto, int tamanhoFonte)
{
    const qsizetype n = caracteresPorLinha(tamanhoFonte);
    QString rest = texto;
    QString out;
    for (qsizetype pass = 0; pass < texto.size(); ++pass) {
        const qsizetype p = rest.indexOf(u'\n') + 1;
        if (p > 0 && p < n) {
            out += rest.left(p);
            rest = rest.mid(p);
        } else if (p == 0 && rest.size() <= n) {
            return out + rest;
        } else {
            qsizetype j = std::min(n, rest.size());
            while (j > 0 && rest[j - 1] != u' ')
                --j;
            if (j > 0) {
                out += rest.left(j) + u'\n';
                rest = rest.mid(j);
            }
        }
    }
    // A run longer than a line without a blank: the text stays as it was.
    return texto;
}

QString MessageBoxLayout::quebraNaLargura(const QString &texto, int largura, int tamanhoFonte,
                                          const Medidor &medidor)
{
    QStringList linhas;
    for (const QString &linha : texto.split(u'\n')) {
        QString atual;
        // Each word keeps the blank after it, as a line broken at a blank does.
        const QStringList palavras = linha.split(u' ');
        for (qsizetype i = 0; i < palavras.size(); ++i) {
            const QString palavra = palavras[i] + (i + 1 < palavras.size() ? QStringLiteral(" ") : QString());
            const QString tentativa = atual + palavra;
            if (!atual.isEmpty() && medidor(tentativa.trimmed(), tamanhoFonte).largura > largura) {
                linhas.append(atual);
                atual = palavra;
            } else {
                atual = tentativa;
            }
        }
        linhas.append(atual);
    }
    return linhas.join(u'\n');
}

void MessageBoxLayout::MontaBotoes(int tipoCaixa, int tipoMensagem, const QString &idioma)
{
    if (tipoCaixa < 0)
        return;
    const bool ing = idioma == QStringLiteral("ING");
    const bool esp = idioma == QStringLiteral("ESP");
    QString sim, nao, cancelar, fechar, repetir;
    if (tipoMensagem == 1) {
        sim = ing ? "YES" : esp ? "SI" : "SIM";
        nao = ing ? "NO" : esp ? "NO" : "NAO";
        fechar = ing ? "CLW" : esp ? "CRV" : "FCJ";
    } else {
        sim = ing ? "YES" : "SI";
        nao = "NO";
        fechar = tipoCaixa == 3 ? (ing ? "CLWN" : "CRVT") : (ing ? "CLW" : "CRV");
    }
    cancelar = ing ? "CAC" : "CAN";
    repetir = ing ? "RET" : "REP";

    auto set = [this](int layout, std::initializer_list<QString> codes) {
        m_layout = layout;
        int i = 0;
        for (const QString &c : codes)
            m_botoes[i++] = c;
    };
    switch (tipoCaixa) {
    case 0:
    case 24:
        set(0, {});
        break;
    case 1:
        set(1, {});
        break;
    case 2:
        set(2, {"OK", cancelar});
        break;
    case 3:
        set(2, {"OK", fechar});
        break;
    case 4:
        set(2, {sim, nao});
        break;
    case 5:
        set(3, {sim, nao, cancelar});
        break;
    case 6:
        set(3, {sim, nao, fechar});
        break;
    case 7:
        set(2, {repetir, "OKOK"});
        break;
    case 8:
        set(2, {repetir, cancelar});
        break;
    case 9:
        set(2, {repetir, fechar});
        break;
    case 10:
        set(3, {repetir, sim, nao});
        break;
    case 11:
        set(2, {"SSB", cancelar});
        break;
    case 12:
        set(2, {"SSB", fechar});
        break;
    case 13:
        set(3, {"SSB", sim, nao});
        break;
    case 14:
        set(2, {"SSB", "OK"});
        break;
    case 15:
        set(2, {"IMP", cancelar});
        break;
    case 16:
        set(2, {"IMP", fechar});
        break;
    case 17:
        set(3, {"IMP", sim, nao});
        break;
    case 18:
        set(2, {"IMP", "OK"});
        break;
    case 19:
        set(4, {"OK", cancelar, "FIND"});
        break;
    case 20:
        set(2, {"CAL", cancelar});
        break;
    case 21:
        set(2, {"CAL", fechar});
        break;
    case 22:
        set(3, {"CAL", sim, nao});
        break;
    case 23:
        set(2, {"CAL", "OK"});
        break;
    case 25:
        set(5, {"OK", cancelar, "FIND"});
        break;
    case 26:
        set(6, {"OK", cancelar});
        break;
    case 27:
        set(8, {"OK", cancelar});
        break;
    default:
        break;
    }
    // The layout of a single button always names its code.
    if (m_layout == 1)
        m_botoes[0] = QStringLiteral("OK");
}

MessageBoxLayout::Resultado MessageBoxLayout::calcula(const QString &texto, int tipoCaixa, int tamanhoFonte,
                                                      int tipoMensagem, const Contexto &c)
{
    Resultado r;
    MontaBotoes(tipoCaixa, tipoMensagem, c.idioma);
    r.layout = m_layout;
    r.botoes = m_botoes;
    const LayoutInfo &info = layoutInfo(m_layout);
    const ControlesLayout &ctl = controlesDoLayout(m_layout);
    auto mede = [](const MedidorLegenda &f, const QString &legenda) { return f ? f(legenda) : 0; };

    r.mensagem = {0, kTitleHeight + 100, 0, kLinhaUnica, false};
    for (int i = 0; i < 3; ++i)
        r.faces[i] = {info.places[i].first, info.places[i].second, kFaceWidth, kFaceHeight, info.faces[i]};
    // The folder boxes' third face is the course's own picture, shown only when it exists.
    if (r.faces[2].visible && m_botoes[2] == QStringLiteral("FIND")) {
        r.faces[2].width = c.larguraFind;
        r.faces[2].visible = c.larguraFind > 0;
    }
    r.fundo = {info.fundoLeft == INT_MIN ? 0 : info.fundoLeft, kTitleHeight, 0, 0, true};
    r.fxBotton = {0, info.fxBottonTop, 0, 45, true};

    r.procuraDir = {ctl.procuraDir.first, ctl.procuraDir.second, 3400, kAlturaEntrada, ctl.temProcuraDir};
    r.licao = {ctl.licaoLeft, 0, ctl.licaoWidth, kAlturaEntrada, ctl.temLicao};
    if (ctl.temTextoDrive)
        r.legendaDrive = dialogo::legendaDrive(tipoCaixa, c.idioma, c.pastaEscolhida);
    r.textoDrive = {ctl.textoDrive.first, ctl.textoDrive.second, mede(c.larguraRotulo, r.legendaDrive),
                    kAlturaRotulo, ctl.temTextoDrive};
    for (int i = 0; i < 2; ++i)
        r.optMsg[i] = {ctl.optMsg[i].first, ctl.optMsg[i].second,
                       mede(c.larguraOpcao, dialogo::kLegendaOptMsg[i]), kAlturaRotulo, c.curso.optMsg};
    for (int i = 0; i < 3; ++i)
        r.opcoes[i] = {0, 0, mede(c.larguraOpcao, dialogo::kLegendaOpcao[i]), kAlturaRotulo, c.curso.opcoes};

    r.texto = QuebraTexto(texto, tamanhoFonte);
    // A folder box's label is 3500 wide: a longer line wraps at its blanks
    // rather than run past the box's text.
    if (dialogo::temEntradaDePasta(tipoCaixa))
        r.texto = quebraNaLargura(r.texto, kLarguraTextoPasta, tamanhoFonte, c.medidor);
    const Medida m = c.medidor(r.texto, tamanhoFonte);
    r.mensagem.width = m.largura;
    r.mensagem.height = m.altura;
    // The label sizes itself about its centre, which stands in the middle of the
    // layout's base width.
    r.mensagem.left = (info.baseWidth - r.mensagem.width) / 2;
    if (dialogo::temEntradaDePasta(tipoCaixa))
        r.mensagem.width = kLarguraTextoPasta;

    // Widening: the text's width beyond the layout's base widens the box.
    int w = 0;
    if (m_layout <= 6 && r.mensagem.width > info.textBase) {
        w = nearest(r.mensagem.width - info.textBase);
        if (w > 6170) {
            w = 6170;
            r.mensagem.width = 9000;
            r.mensagem.left = -3000;
        }
    }
    const int dx = nearest(w / 2.0);

    const int h0 = nearest(r.faces[0].top + r.faces[0].height + 50);
    const int h = r.mensagem.height > kLinhaUnica
                      ? std::min(nearest(r.mensagem.height - kLinhaUnica), kCrescimentoMaximo)
                      : 0;

    for (Controle &f : r.faces) {
        f.top += h;
        f.left += dx;
    }
    r.fundo.left += dx + 200;
    r.fxBotton.top += h;
    r.mensagem.left += dx;
    // The section list, the caption beside it and the two-way choice move with the faces.
    for (Controle *k : {&r.licao, &r.textoDrive, &r.optMsg[0], &r.optMsg[1]}) {
        k->left += dx;
        k->top += h;
    }

    r.mensagemRtf = {r.mensagem.left, r.mensagem.top, r.mensagem.width + 40, r.mensagem.height, true};
    if (m_layout == 4)
        r.mensagemRtf.left = r.procuraDir.left;

    r.height = h0 + h;
    r.width = w + info.baseWidth;
    r.timer = m_layout == 0 && tipoCaixa == 0;

    if (r.width < kLarguraMinima) {
        r.width = kLarguraMinima;
        r.mensagem.left = r.width / 2 - r.mensagem.width / 2;
        r.mensagemRtf.left = r.width / 2 - r.mensagemRtf.width / 2 - 20;
        if (m_layout == 1)
            r.faces[0].left = r.width / 2 - r.faces[0].width / 2 - 90;
    }

    // Room for the text: the box is never narrower than the text plus margins.
    const int need = nearest(r.mensagemRtf.width + 240);
    if (r.width < need) {
        r.width = need;
        r.mensagemRtf.left = (r.width - r.mensagemRtf.width) / 2;
    }
    // Nor than the answer options, nor cuts off a face that keeps its place.
    const int antes = r.width;
    if (c.curso.opcoes)
        for (const Controle &o : r.opcoes)
            r.width = std::max(r.width, o.width + 240);
    if (r.faces[0].visible && r.faces[1].visible && r.faces[2].visible)
        r.width = std::max(r.width, r.faces[2].left + r.faces[2].width + 120);
    if (r.width != antes && m_layout != 4)
        r.mensagemRtf.left = (r.width - r.mensagemRtf.width) / 2;

    r.logo = {-5, 0, 0, kTitleHeight, true};
    r.zeko = {r.width - c.zekoWidth - 90, 0, c.zekoWidth, kTitleHeight, true};
    r.fundo.width = r.width;
    r.fxBotton.width = r.width;

    ajustaCaixa(r, tipoCaixa, c);
    return r;
}

// The final centring and stacking, once the box has its width.
void MessageBoxLayout::ajustaCaixa(Resultado &r, int tipoCaixa, const Contexto &c)
{
    const int visiveis = int(r.faces[0].visible) + int(r.faces[1].visible) + int(r.faces[2].visible);
    if (visiveis == 2) {
        r.faces[0].left = (r.width - (r.faces[0].width + r.faces[1].width + 140)) / 2;
        r.faces[1].left = r.faces[0].left + r.faces[0].width + 140;
    } else if (visiveis == 1) {
        r.faces[0].left = r.width / 2 - r.faces[0].width / 2;
    }
    r.mensagem.left = (r.width - r.mensagem.width) / 2;

    if (tipoCaixa != 25)
        r.licao.left = (r.width - r.licao.width) / 2;
    if (tipoCaixa == 26) {
        r.legendaDrive = dialogo::cortaLegenda(r.legendaDrive, r.licao.width, c.larguraRotulo);
        r.textoDrive.width = c.larguraRotulo ? c.larguraRotulo(r.legendaDrive) : 0;
        r.textoDrive.left = (r.width - r.textoDrive.width) / 2;
    }
    if (tipoCaixa == 27)
        r.mensagemRtf.left = (r.width - r.mensagemRtf.width) / 2;

    if (!r.faces[0].visible)
        return;
    // The controls a dialogue shows go below the text, each 90 under the one
    // above; the faces follow the last of them.
    int y = r.mensagem.top + r.mensagem.height;
    auto abaixo = [&y](Controle &k) {
        k.top = y + kEspaco;
        y = k.top + k.height;
    };
    if (r.procuraDir.visible) {
        r.procuraDir.left = kMargemEntrada / 2;
        r.procuraDir.width = r.width - kMargemEntrada;
        abaixo(r.procuraDir);
    }
    if (r.licao.visible) {
        abaixo(r.licao);
        if (r.textoDrive.visible && tipoCaixa == 25) {
            // "em" stands just before the list, on its row.
            r.textoDrive.top = r.licao.top + (r.licao.height - r.textoDrive.height) / 2;
            r.licao.left = std::max(r.licao.left, r.textoDrive.left + r.textoDrive.width + 60);
        }
    }
    if (r.textoDrive.visible && tipoCaixa != 25)
        abaixo(r.textoDrive);
    if (r.optMsg[0].visible) {
        abaixo(r.optMsg[0]);
        r.optMsg[1].top = r.optMsg[0].top;
    }
    if (r.opcoes[0].visible) {
        // Option1 and Option2 centred, the narrower taking the wider's Left; the
        // third lines up with them.
        const int larga = std::max(r.opcoes[0].width, r.opcoes[1].width);
        for (Controle &o : r.opcoes) {
            o.left = (r.width - larga) / 2;
            abaixo(o);
        }
    }
    // Below a dialogue's controls the bottom strip keeps its distance from the
    // faces, so it stays below the box's end as in every other box.
    if (y != r.mensagem.top + r.mensagem.height)
        r.fxBotton.top += y + kEspaco - r.faces[0].top;
    for (Controle &f : r.faces)
        f.top = y + kEspaco;
    r.height = r.faces[0].top + r.faces[0].height + 120;
}

QList<MessageBoxLayout::Trecho> MessageBoxLayout::marcacaoCor(const QString &texto)
{
    QList<Trecho> trechos;
    Trecho atual;
    for (QChar c : texto) {
        if (c == u'#' || c == u'|') {
            if (!atual.texto.isEmpty())
                trechos.append(atual);
            atual = Trecho{QString(), c == u'#'};
            continue;
        }
        atual.texto += c;
    }
    if (!atual.texto.isEmpty())
        trechos.append(atual);
    return trechos;
}

} // namespace messages
