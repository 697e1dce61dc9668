#include "salespage/SalesPageWriter.h"

#include "salespage/OrderMessage.h"
#include "salespage/PageText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

namespace {

QStringList split(const char *utf8) {
    return QString::fromUtf8(utf8).split(u'\n');
}

// The refresh icon, drawn inline so the page needs nothing from outside.
const char kRefreshIcon[] =
    "data:image/svg+xml;base64,PHN2ZyB4bWxucz0naHR0cDovL3d3dy53My5vcmcvMjAwMC9zdmcnIHZpZXdCb3g9JzAgMCAyNCAy"
    "NCc+PHBhdGggZmlsbD0nIzFhNzNlOCcgZD0nTTE3LjY1IDYuMzVBNy45NiA3Ljk2IDAgMCAwIDEyIDRhOCA4IDAgMSAwIDcuNzQg"
    "MTBoLTIuMDhBNiA2IDAgMSAxIDEyIDZjMS42NiAwIDMuMTQuNjkgNC4yMiAxLjc4TDEzIDExaDdWNHonLz48L3N2Zz4=";

QStringList script(const SalesPageInput &in) {
    QStringList s;
    s << QStringLiteral("<script>");
    s << QStringLiteral("var numSelClick = 0;");
    s << QStringLiteral("var ListaBilhetes_cp = [];");
    s << QStringLiteral("var NumBilComprados;");
    s << QStringLiteral("var bilheteJaAdd;");
    s << QStringLiteral("var numElem = 10;");
    s << QStringLiteral("var PrecoBil = '%1';")
             .arg(PageText::script(SalesPageWriter::scriptPrice(in.valorRifa)));
    s << QStringLiteral("var BlocoBilhete = '%1';")
             .arg(PageText::script(in.entre1 + QStringLiteral(" ao ") + in.entre2));
    s << QStringLiteral("var Aum_top = 220;");
    s << split(R"JS(
function MB_Comprados() {
    var texto = "";
    for (var i = 1; i < ListaBilhetes_cp.length; i++) {
        texto = texto + "\n" + String(ListaBilhetes_cp[i]).replace(/\s/g, "");
    }
    return texto;
}

function CopiarPix() {
    var chave = document.getElementById("ChavePix");
    chave.select();
    document.execCommand("copy");
    alert("Pix Copiado com Sucesso! Mas ENVIE antes os dados preenchidos aqui,  para em seguida COLAR o PIX no aplicativo e posteriormente enviar também o COMPROVANTE.");
}

function mostrarPremios(message) {
    alert(message);
}

window.onscroll = function () { scrollFunction() };

function scrollFunction() {
    if (document.body.scrollTop > 20 || document.documentElement.scrollTop > 20) {
        document.getElementById("BtnVoltar").style.display = "block";
    } else {
        document.getElementById("BtnVoltar").style.display = "none";
    }
}

function topFunction() {
    document.body.scrollTop = 0;
    document.documentElement.scrollTop = 0;
}

function numberToReal(numero) {
    var partes = Number(numero).toFixed(2).split(".");
    partes[0] = "R$ " + partes[0].split(/(?=(?:\d{3})+$)/).join(".");
    return partes.join(",");
}

function recarregar() {
    location.reload();
}

function limparBilSel() {
    for (var i = 1; i <= numElem; i++) {
        document.getElementById("B" + i).style.display = "none";
    }
    ListaBilhetes_cp = [];
    numSelClick = 0;
    document.getElementById("ClickX").style.display = "none";
}

function moverLista() {
    document.getElementById("tab_numeros").setAttribute("style", "top:" + Aum_top + "px;position: relative;font-weight: 500;");
}

function mostrarTotal() {
    document.getElementById("ClickX").style.display = "block";
    document.getElementById("MostrarTotalBil").style.display = "block";
    document.getElementById("totalBil").innerHTML = "<font face='Arial' color='blue'>" + numberToReal(PrecoBil * numSelClick) + "</font>";
}

function SelecionarBil(numBilhete, Tipo) {
    if (numSelClick >= 10 && Tipo == 0) {
        alert("Limite máximo de 10 Controle de Bilhetes podem ser selecionados para comprar. Caso precise de mais, conclua essa compra e depois pressione a tecla F5 para recomeçar!");
        return;
    }
    var posicao = 0;
    bilheteJaAdd = false;
    for (var i = 1; i <= 10; i++) {
        if (ListaBilhetes_cp[i] == numBilhete) {
            posicao = i;
            bilheteJaAdd = true;
        }
    }
    var numero = numBilhete.substr(2, 8);
    var elemento = document.getElementById(numBilhete);
    if (!bilheteJaAdd) {
        elemento.innerHTML = "C.Bilhete: <font color='red'><s>" + numero + "</s></font> <button class='cursor_m newBotao' style='background-color: red; color: white;' onclick=\"SelecionarBil('" + numBilhete + "',1)\">Selecionado</button>";
        numSelClick = numSelClick + 1;
        var slot = document.getElementById("B" + numSelClick);
        if (numSelClick <= 5) {
            slot.innerHTML = numBilhete;
            slot.style.display = "block";
            moverLista();
            if (Aum_top >= 200 && Aum_top <= 310) {
                Aum_top = Aum_top + 20;
            }
        } else {
            slot.innerHTML = "&nbsp;&nbsp;&nbsp;" + numBilhete;
            slot.style.display = "block";
        }
        ListaBilhetes_cp[numSelClick] = numBilhete;
    } else {
        elemento.innerHTML = "C.Bilhete: <font color='red'>" + numero + "</font> <button class='cursor_m newBotao' onclick=\"SelecionarBil('" + numBilhete + "',0)\">Selecionar</button>";
        numSelClick = numSelClick - 1;
        document.getElementById("B" + posicao).style.display = "none";
        if (numSelClick <= 5) {
            if (Aum_top >= 200 && Aum_top <= 310) {
                Aum_top = Aum_top - 18;
            }
            moverLista();
        }
        ListaBilhetes_cp.splice(posicao, 1);
        for (var j = 1; j < ListaBilhetes_cp.length; j++) {
            var livre = document.getElementById("B" + j);
            livre.innerHTML = (j > 5 ? "&nbsp;&nbsp;&nbsp;" : "") + ListaBilhetes_cp[j];
            livre.style.display = "block";
        }
        document.getElementById("B" + ListaBilhetes_cp.length).style.display = "none";
    }
    mostrarTotal();
}

function mostrarForm(tipo) {
    if (tipo == "mostrar") {
        if (numSelClick > 0) {
            document.getElementById("ModalForm").style.display = "block";
        } else {
            alert("Você não selecionou Seus Controles de Bilhete!");
        }
    } else if (tipo == "fechar") {
        document.getElementById("ModalForm").style.display = "none";
    }
})JS");
    // The message and the chat address; the same lines as OrderMessage builds.
    s << QStringLiteral("");
    s << QStringLiteral("function enviarMensagem() {");
    // Every ticket released behind the open form: no order to send.
    s << QStringLiteral("    if (numSelClick < 1) {");
    s << QStringLiteral("        alert(\"Você não selecionou Seus Controles de Bilhete!\");");
    s << QStringLiteral("        return;");
    s << QStringLiteral("    }");
    s << QStringLiteral("    var nome = document.getElementById(\"nomeCP\").value;");
    s << QStringLiteral("    var endereco = document.getElementById(\"enderecoCP\").value;");
    s << QStringLiteral("    var cidade = document.getElementById(\"cidadeCP\").value;");
    s << QStringLiteral("    var uf = document.getElementById(\"ufCP\").value;");
    s << QStringLiteral("    var fone = document.getElementById(\"N_celularCP\").value;");
    s << QStringLiteral("    var vendedor = document.getElementById(\"vendCP\").value;");
    s << QStringLiteral("    var total = document.getElementById(\"totalBil\").textContent;");
    s << QStringLiteral("    var mensagem = \"*Desejo Comprar Bilhetes:*\\n\" + MB_Comprados() +");
    s << QStringLiteral("        \"\\n *Nome:* \" + nome + \"\\n *End.:* \" + endereco +");
    s << QStringLiteral("        \"\\n *Cidade:* \" + cidade + \"/\" + uf + \"\\n *Fone:* \" + fone +");
    s << QStringLiteral("        \"\\n *TOTAL A PAGAR..:* \" + total + \"\\n *Vend:* \" + vendedor +");
    s << QStringLiteral("        \"\\n *Bloco:* \" + BlocoBilhete;");
    s << QStringLiteral("    window.open(\"%1?phone=55\" + encodeURIComponent('%2') + \"&text=\" + "
                        "encodeURIComponent(mensagem), \"_blank\");")
             .arg(OrderMessage::clickToChatAddress(),
                  PageText::script(SalesPageWriter::receivingPhone(in.phone)));
    s << QStringLiteral("}");
    s << split(R"JS(
function Maiuscula(campo) {
    var elemento = document.getElementById(campo);
    elemento.value = elemento.value.toUpperCase();
}

function phoneMask(value) {
    if (!value) return "";
    value = value.replace(/\D/g, "");
    value = value.replace(/(\d{2})(\d)/, "($1) $2");
    value = value.replace(/(\d)(\d{4})$/, "$1-$2");
    return value;
}

function handlePhone(event) {
    var input = event.target;
    input.value = phoneMask(input.value);
}
</script>)JS")
             .mid(1);
    return s;
}

const char kStyle[] = R"CSS(<style>
#BtnVoltar {
    display: none;
    position: fixed;
    bottom: 20px;
    right: 30px;
    z-index: 99999;
    border: none;
    outline: none;
    background-color: rgba(230, 141, 8, 0.7);
    color: white;
    cursor: pointer;
    padding: 15px;
    border-radius: 540px;
}
#BtnVoltar:hover {
    background-color: #555;
}
.cursor_m {
    cursor: pointer;
}
.newBotao {
    height: 20px;
    width: 80px;
    background-color: aqua;
    border-radius: 6px;
    border-color: darkgrey;
    border-right: none;
}
* {
    margin: 0;
    padding: 0;
}
.content {
    display: flex;
    margin: auto;
}
@media screen and (max-width: 480px) {
    .content {
        width: 100%;
        text-align: center;
    }
    #maiscula {
        text-transform: uppercase;
    }
    #ModalForm {
        background-color: rgb(241, 241, 236);
        display: flex;
        position: fixed;
        width: 280px;
        height: auto;
        left: 50%;
        margin-left: -145px;
        top: 45px;
        z-index: 99999;
        border: 5px solid rgb(10, 76, 244);
        border-radius: 8px;
        box-shadow: 4px 7px rgb(113, 112, 111);
    }
}
@media screen and (min-width: 800px) {
    #ModalForm {
        background-color: rgb(241, 241, 236);
        display: flex;
        position: fixed;
        width: 280px;
        height: 440px;
        left: 50%;
        margin-left: -140px;
        top: 45px;
        z-index: 99999;
        border: 5px solid rgb(10, 76, 244);
        border-radius: 8px;
        box-shadow: 4px 7px rgb(113, 112, 111);
    }
}
</style>)CSS";

void header(QStringList &s, const SalesPageInput &in) {
    const QString premios = PageText::scriptLines(in.textoPremios) + QStringLiteral("\\n ") +
                            PageText::scriptLines(in.textoRegras);
    s << QStringLiteral("<body onload=\"limparBilSel(); mostrarForm('fechar');\" style=\"margin-top: "
                        "30px;background-color: black;\">");
    s << QStringLiteral("<div style=\"display: flex; justify-content: center;\">");
    s << QStringLiteral("<button onclick=\"topFunction()\" id=\"BtnVoltar\" title=\"Voltar ao Topo da "
                        "Tela\">Inicio</button>");
    s << QStringLiteral("<table style=\"width: 320px; background-color: white; position: fixed; top: 2%; "
                        "z-index: 999; border: 6px solid rgb(47, 52, 53); box-shadow: 0px 0px 12px "
                        "rgb(147, 220, 242);\">");
    s << QStringLiteral("<tr><td>");
    s << QStringLiteral("<p style=\"font-family: Arial; font-size: 24px; font-weight: bold; text-align: "
                        "center;\">BILHETES DE RIFAS</p>");
    s << QStringLiteral("<center>");
    s << QStringLiteral("<button class=\"cursor_m newBotao\" style=\"background-color: blue; color: white;\" "
                        "onclick=\"mostrarForm('mostrar')\">COMPRAR</button>");
    s << QStringLiteral("<button class=\"cursor_m newBotao\" style=\"background-color: chocolate; color: "
                        "white;\" onclick=\"mostrarPremios('%1')\">PREMIOS</button>")
             .arg(premios);
    s << QStringLiteral("<abbr title=\"Atualiza Bilhetes Disponíveis\"><img class=\"cursor_m\" width=\"25\" "
                        "alt=\"Atualizar\" src=\"%1\" onclick=\"recarregar()\"></abbr>")
             .arg(QLatin1String(kRefreshIcon));
    s << QStringLiteral("</center>");
    s << QStringLiteral("<font face=\"Arial\" size=\"2\">Data Sorteio: <b>%1</b>&nbsp;&nbsp;Valor: "
                        "<b>%2</b></font>")
             .arg(PageText::html(SalesPageWriter::drawDate(in.valorDataRifa)),
                  PageText::html(SalesPageWriter::headerPrice(in.valorDataRifa)));
    s << QStringLiteral("<hr><font face=\"Arial\" size=\"2\" color=\"blue\"><b>%1</b></font><hr>")
             .arg(PageText::html(in.raffleName));
    s << QStringLiteral("<font face=\"Arial\" size=\"1\"><b>Seus Controles de Bilhetes "
                        "Selecionados:</b></font><hr>");
    s << QStringLiteral("<table align=\"right\"><tr><td>");
    for (int i = 1; i <= 5; ++i)
        s << QStringLiteral("<p id=\"B%1\">C-999999</p>").arg(i);
    s << QStringLiteral("</td><td valign=\"top\">");
    for (int i = 6; i <= 10; ++i)
        s << QStringLiteral("<p id=\"B%1\">C-999999</p>").arg(i);
    s << QStringLiteral("</td></tr></table>");
    s << QStringLiteral("<hr>");
    s << QStringLiteral("<table><tr><td>");
    s << QStringLiteral("<p id=\"ClickX\" style=\"display: none; font-family: Arial; font-size: 11px; "
                        "text-align: center;\"> Apaga os Bilhetes Selecionados <button class=\"cursor_m "
                        "newBotao\" style=\"background-color: brown; color: white;\" "
                        "onclick=\"recarregar()\">Limpar</button></p>");
    s << QStringLiteral(
        "<p id=\"MostrarTotalBil\" style=\"display: none; text-align: "
        "left;\">Total...............................  <span id=\"totalBil\">0,00</span></p>");
    s << QStringLiteral("</td></tr></table>");
    s << QStringLiteral(
             "<font face=\"Arial\" size=\"1\">  Mostrando Bloco de Bilhetes: %1 ao %2 de %3</font>")
             .arg(PageText::html(in.entre1), PageText::html(in.entre2))
             .arg(qint64(in.maiorNumero) + 1);
    s << QStringLiteral("</td></tr></table>");
}

void ticketListStart(QStringList &s) {
    s << QStringLiteral("<div id=\"tab_numeros\" style=\"top:160px;position: relative;font-weight: 500;\">");
    s << QStringLiteral("<table style=\"width: 315px; background-color: white; border-radius: 10px;\">");
    s << QStringLiteral(
        "<tr><td style=\"font-family: Arial; font-size: 13px; text-align: center;\">  Somente "
        "os números em (Amarelo/Fundo Preto) vale pra o Sorteio</td></tr>");
}

// A number in the modality's format, written straight into the page's bytes.
int formatInto(char *buf, qint64 number, int width) {
    char digits[24];
    int n = 0;
    const bool negative = number < 0;
    quint64 v = negative ? quint64(-number) : quint64(number);
    do {
        digits[n++] = char('0' + v % 10);
        v /= 10;
    } while (v);
    while (n < width && n < 20)
        digits[n++] = '0';
    int len = 0;
    if (negative) buf[len++] = '-';
    while (n > 0)
        buf[len++] = digits[--n];
    return len;
}

// The ticket blocks are most of the page: written as bytes, without a text per line.
void appendTickets(QByteArray &out, const SalesPageInput &in) {
    const int q = in.qtNumBilhete;
    // The cells a ticket shows: N1, N2, N3-N4, N5 on the first row, N6-N10 on a second.
    QList<int> firstRow;
    if (q >= 1) firstRow << 1;
    if (q >= 2) firstRow << 2;
    if (q >= 4) firstRow << 3 << 4;
    if (q >= 5) firstRow << 5;
    const bool secondRow = q >= 10;
    const QByteArray span = QByteArray::number(std::max<int>(1, int(firstRow.size())));
    static const char rowStyle[] =
        "<tr style=\"background-color: black; color: rgb(217, 255, 0); font-family: "
        "Gill Sans, Gill Sans, Calibri, Trebuchet MS, sans-serif;\">";
    const int width = in.format.width();
    char num[32];
    char cell[32];
    auto cells = [&](const ListedTicket &t, int from, int to, const QList<int> *only) {
        out += rowStyle;
        for (int c = from; c <= to; ++c) {
            if (only && !only->contains(c)) continue;
            out += "<td>";
            const QVariant v = c <= t.numbers.size() ? t.numbers.at(c - 1) : QVariant();
            if (!v.isNull()) out.append(cell, formatInto(cell, v.toLongLong(), width));
            out += "</td>";
        }
        out += "</tr>\r\n";
    };
    bool first = true;
    for (const ListedTicket &t : in.tickets) {
        const int n = formatInto(num, t.numBilhete, width);
        out += first ? "<tr><td><hr><br>\r\n" : "<tr><td>\r\n";
        first = false;
        out += "<table border=\"2px\" bordercolor=\"gray\" align=\"center\" cellspacing=\"3px\">\r\n";
        out += "<tr><td colspan=\"";
        out += span;
        out += "\"><p id=\"C-";
        out.append(num, n);
        if (t.mark != QLatin1String("S")) {
            out += "\" style=\"text-align: center; font-family: Times New Roman, Times, serif; font-weight: "
                   "500;\">"
                   "    C.Bilhete: <font color=\"red\">";
            out.append(num, n);
            out += "</font> <button class=\"cursor_m newBotao\" onclick=\"SelecionarBil('C-";
            out.append(num, n);
            out += "',0)\">Selecionar</button></p></td></tr>\r\n";
        } else {
            out += "\" style=\"text-align: center; font-family: Times New Roman, Times, serif; font-weight: "
                   "500; "
                   "color: green;\">    C.Bilhete: ";
            out.append(num, n);
            out += " <button class=\"newBotao\" style=\"background-color: darkgreen; color: "
                   "white;\">Vendido</button></p></td></tr>\r\n";
        }
        cells(t, 1, 5, &firstRow);
        if (secondRow) cells(t, 6, 10, nullptr);
        out += "</table>\r\n</td></tr>\r\n";
    }
}

void ticketListEnd(QStringList &s) {
    s << QStringLiteral("</table>");
    s << QStringLiteral("</div>");
}

// The QR code and "Pix Copia e Cola" of the order's exact total, for 1 to 10 tickets.
void pixPayment(QStringList &s, const SalesPageInput &in) {
    s << QStringLiteral("<div id=\"PixQRCode\" style=\"text-align: center; color: black; font-family: Arial; "
                        "font-size: 11px;\">");
    for (int i = 0; i < in.pix.size(); ++i)
        s << QStringLiteral("<div id=\"PixQR%1\" style=\"display: none;\">%2</div>")
                 .arg(i + 1)
                 .arg(in.pix.at(i).svg);
    s << QStringLiteral(
             "<textarea id=\"PixCopiaECola\" readonly rows=\"2\" cols=\"34\" style=\"border: none; "
             "outline: none; background-color: transparent; resize: none; font-size: 8px; overflow: "
             "hidden;\">%1</textarea><br>")
             .arg(PageText::html(in.pix.first().code));
    s << QStringLiteral("<button class=\"cursor_m newBotao\" style=\"width: auto;\" "
                        "onclick=\"CopiarPixCopiaECola()\">&nbsp;Copiar Pix Copia e Cola&nbsp;</button>");
    s << QStringLiteral("</div>");
}

// Keeps the QR and the code on the order's total: watches the total the selection writes.
void pixScript(QStringList &s, const SalesPageInput &in) {
    QStringList codes{QStringLiteral("''")};
    for (const SalesPagePix &p : in.pix)
        codes << u'\'' + PageText::script(p.code) + u'\'';
    s << QStringLiteral("<script>");
    s << QStringLiteral("var PixCodigos = [%1];").arg(codes.join(QStringLiteral(", ")));
    s << split(R"JS(function atualizarPix() {
    var n = Math.min(numSelClick, PixCodigos.length - 1);
    for (var i = 1; i < PixCodigos.length; i++) {
        document.getElementById("PixQR" + i).style.display = (i == n) ? "block" : "none";
    }
    document.getElementById("PixCopiaECola").value = PixCodigos[n];
    document.getElementById("PixQRCode").style.display = (n > 0) ? "block" : "none";
}

function CopiarPixCopiaECola() {
    var campo = document.getElementById("PixCopiaECola");
    campo.select();
    document.execCommand("copy");
    alert("Pix Copia e Cola copiado! Cole no aplicativo do seu banco, em Pix Copia e Cola, para pagar o valor exato do pedido. Mas ENVIE antes os dados preenchidos aqui.");
}

new MutationObserver(atualizarPix).observe(document.getElementById("totalBil"), { childList: true, subtree: true, characterData: true });
atualizarPix();
</script>
<style>
#ModalForm {
    height: auto !important;
    max-height: calc(100vh - 55px);
    overflow-y: auto;
}
</style>)JS");
}

void orderForm(QStringList &s, const SalesPageInput &in) {
    s << QStringLiteral("<div id=\"ModalForm\" style=\"display:block; color:blue;\">");
    s << QStringLiteral("<div>");
    s << QStringLiteral("<p id=\"preencha\" style=\"font-family: Verdana, Geneva, Tahoma, sans-serif; "
                        "text-align: center;\"><b>PREENCHA OS DADOS</b></p>");
    s << QStringLiteral("<form id=\"FormComprador\" name=\"FormComprador\" style=\"font-family: Arial; "
                        "margin: 5px;\" onsubmit=\"return false;\">");
    s << QStringLiteral("<label for=\"nomeCP\">NOME</label><br>");
    s << QStringLiteral("<input type=\"text\" id=\"nomeCP\" name=\"nomeCP\" maxlength=\"40\" "
                        "onblur=\"Maiuscula('nomeCP')\"><br>");
    s << QStringLiteral("<label for=\"enderecoCP\">ENDEREÇO</label><br>");
    s << QStringLiteral("<input type=\"text\" id=\"enderecoCP\" name=\"enderecoCP\" maxlength=\"50\"><br>");
    s << QStringLiteral("<label for=\"cidadeCP\">CIDADE</label>");
    s << QStringLiteral("<input type=\"text\" id=\"cidadeCP\" name=\"cidadeCP\" maxlength=\"30\">");
    s << QStringLiteral("<label for=\"ufCP\">UF</label>");
    s << QStringLiteral("<input type=\"text\" id=\"ufCP\" name=\"ufCP\" size=\"2\" maxlength=\"2\" "
                        "onblur=\"Maiuscula('ufCP')\"><br>");
    s << QStringLiteral("<label for=\"N_celularCP\">DDD+Nº Celular</label>&nbsp;&nbsp;&nbsp;<label "
                        "for=\"vendCP\"> Vendedor</label><br>");
    s << QStringLiteral("<input type=\"tel\" id=\"N_celularCP\" name=\"N_celularCP\" size=\"11\" "
                        "maxlength=\"15\" onkeyup=\"handlePhone(event)\">");
    s << QStringLiteral("<select id=\"vendCP\" name=\"vend\">");
    s << QStringLiteral("<option value=\"Nao Informar\">Nao Informar</option>");
    for (const SalesPageSeller &seller : in.sellers) {
        const QString code = seller.code.toString();
        s << QStringLiteral("<option value=\"%1\">%2</option>")
                 .arg(PageText::html(code), PageText::html(code + u'-' + seller.name.left(12)));
    }
    s << QStringLiteral("</select>");
    s << QStringLiteral("</form>");
    s << QStringLiteral("<p style=\"font-family: Arial; font-size: 16px; color: red;\">Pague pelo PIX:</p>");
    const bool email = in.pixType == QLatin1String("E-mail");
    const QString label = email ? QStringLiteral("E-mail: ") : in.pixType + QStringLiteral(": ");
    s << QStringLiteral("<b>%1</b><textarea id=\"ChavePix\" readonly rows=\"1\" cols=\"%2\" style=\"border: "
                        "none; outline: none; background-color: transparent; resize: none; overflow: "
                        "hidden;\">%3</textarea><br>")
             .arg(PageText::html(label))
             .arg(qMax<qsizetype>(email ? 30 : 20, in.pixKey.size())) // the whole key in view
             .arg(PageText::html(in.pixKey));
    s << QStringLiteral("<button class=\"cursor_m newBotao\" onclick=\"CopiarPix()\">&nbsp;Copiar "
                        "Pix&nbsp;</button>");
    if (!in.pix.isEmpty()) pixPayment(s, in);
    s << QStringLiteral("<p style=\"font-family: Arial; font-size: 11px; color: black;\">    Obs.: Caso não "
                        "tenha algum dos Bilhetes ainda disponível para venda, o sistema selecionará "
                        "outro(s) automaticamente.</p>");
    s << QStringLiteral("<center><button class=\"cursor_m\" onclick=\"mostrarForm('fechar')\">Voltar</button>"
                        "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;<button "
                        "class=\"cursor_m\" onclick=\"enviarMensagem()\"> Enviar</button></center>");
    s << QStringLiteral("</div>");
    s << QStringLiteral("</div>");
}

} // namespace

QString SalesPageWriter::headerPrice(const QString &valorDataRifa) {
    const qsizetype dash = valorDataRifa.indexOf(u'-');
    QString price = dash < 0 ? valorDataRifa : valorDataRifa.left(dash);
    price = price.trimmed().replace(u',', u'.');
    return QString::number(price.toDouble(), 'f', 2).replace(u'.', u',');
}

QString SalesPageWriter::drawDate(const QString &valorDataRifa) {
    const qsizetype dash = valorDataRifa.indexOf(u'-');
    return dash < 0 ? QString() : valorDataRifa.mid(dash + 1, 15);
}

QString SalesPageWriter::scriptPrice(double valorRifa) {
    // "#00.00": at least two integer digits, decimal comma as the regional settings write it.
    QString text = QString::number(valorRifa, 'f', 2);
    const bool negative = text.startsWith(u'-');
    if (negative) text.remove(0, 1);
    if (text.indexOf(u'.') < 2) text.prepend(u'0');
    if (negative) text.prepend(u'-');
    return text; // the page turns the comma into a point before it computes
}

QString SalesPageWriter::receivingPhone(const QString &phoneEntry) {
    QString phone = phoneEntry;
    return phone.remove(u' ');
}

QByteArray SalesPageWriter::bytes(const SalesPageInput &in) {
    QStringList s;
    s << QString();
    s << QStringLiteral("<!DOCTYPE html>");
    s << QStringLiteral("<html lang=\"pt-br\">");
    s << QStringLiteral("<head>");
    s << QStringLiteral("<meta charset=\"ISO-8859-1\">");
    s << QStringLiteral("<title>Sistema de Rifas</title>");
    s << QStringLiteral("<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">");
    s << QStringLiteral("<meta http-equiv=\"X-UA-Compatible\" content=\"IE=edge\">");
    s << QStringLiteral("<meta name=\"language\" content=\"pt-BR\">");
    s << QStringLiteral("<meta name=\"rating\" content=\"general\">");
    s << QStringLiteral("<meta name=\"distribution\" content=\"global\">");
    s << QStringLiteral("</head>");
    s << script(in);
    s << QString::fromUtf8(kStyle).split(u'\n');
    header(s, in);
    ticketListStart(s);
    QByteArray out = PageText::latin1File(s);
    out.reserve(out.size() + in.tickets.size() * (in.qtNumBilhete >= 10 ? 900 : 600) + 16384);
    appendTickets(out, in);
    s.clear();
    ticketListEnd(s);
    orderForm(s, in);
    s << QStringLiteral("</div>");
    if (!in.pix.isEmpty()) pixScript(s, in);
    s << QStringLiteral("</body>");
    s << QStringLiteral("</html>");
    out += PageText::latin1File(s);
    return out;
}

bool SalesPageWriter::write(const QString &path, const SalesPageInput &in, QString *error) {
    const QByteArray content = bytes(in);
    // Written beside it and put in its place, so a failed write leaves the previous page whole.
    const QString temporary = path + QStringLiteral(".tmp");
    QFile file(temporary);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        if (error) *error = file.errorString();
        return false;
    }
    const bool written = file.write(content) == content.size() && file.flush();
    const QString why = file.errorString();
    file.close();
    if (!written || file.error() != QFileDevice::NoError) {
        if (error) *error = why;
        QFile::remove(temporary);
        return false;
    }
    if (std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(path).constData()) != 0) {
        // Where a rename does not replace an existing file.
        QFile::remove(path);
        QFile target(temporary);
        if (!target.rename(path)) {
            if (error) *error = target.errorString();
            QFile::remove(temporary);
            return false;
        }
    }
    return true;
}
