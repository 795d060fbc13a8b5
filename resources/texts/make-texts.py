#!/usr/bin/env python3
"""Writes the window's text table Resource_1.ini (UTF-8 with BOM, CR LF).

One section per language, in the order the product expects them; the German
header is lower case. Every section carries the same ten keys in the order
the window applies them. Run from anywhere: the file lands beside this script.
"""
import pathlib

KEYS = [
    "btnclose",
    "lblTitle",
    "lblDes",
    "lblFun1Title",
    "lblFun1Des",
    "lblFun2Title",
    "lblFun2Des",
    "lblFun3Title",
    "lblFun3Des",
    "btnBuy",
]

SECTIONS = [
    ("de", [
        "Schließen",
        "Pellorin 7",
        "Der neue Pellorin 8 ist jetzt verfügbar",
        "4.500.000+",
        "Treiberdatenbank",
        "Offline",
        "Treiberaktualisierung",
        "0€",
        "Upgraden zu PRO",
        "Jetzt upgraden für 0€",
    ]),
    ("DK", [
        "Luk",
        "Pellorin 7",
        "Ny Pellorin 8 er nu tilgængelig",
        "4,500,000+",
        "Drev i databasen",
        "Offline",
        "Drevopdateringer",
        "0 kr.",
        "Opgrader til PRO",
        "Opgrader nu – 0 kr.",
    ]),
    ("ES", [
        "Cerrar",
        "Pellorin 7",
        "El nuevo Pellorin 8 ya está disponible",
        "4,500,000+",
        "Base de datos de controladores",
        "Offline",
        "Actualización de controladores",
        "0€",
        "Actualizar a PRO",
        "Actualizar Ahora por 0€",
    ]),
    ("FR", [
        "Fermer",
        "Pellorin 7",
        "Pellorin 8 est disponible",
        "+ de 4 500 000",
        "Pilotes",
        "Mise à jour",
        "Hors-ligne",
        "0€",
        "Pour passer PRO",
        "0€ - Vite, J’en Profite",
    ]),
    ("IT", [
        "Chiudi",
        "Pellorin 7",
        "Nuovo Pellorin 8 è disponibile ora",
        "4,500,000+",
        "Database dei driver",
        "Offline",
        "Aggiornamento dei driver",
        "0€",
        "Aggiorna a PRO",
        "AGGIORNA ORA - 0€",
    ]),
    ("NL", [
        "Sluiten",
        "Pellorin 7",
        "Het Nieuwe Pellorin 8 Is Nu Beschikbaar",
        "4.500.000+",
        "Driver Database",
        "Offline",
        "Drivers Updaten",
        "€19,99",
        "Exclusieve Aanbieding",
        "Nu Upgraden - €19,99",
    ]),
    ("PL", [
        "Zamknij",
        "Pellorin 7",
        "Nowy Pellorin 8 jest już dostępny",
        "4,500,000+",
        "Baza danych sterowników",
        "Offline",
        "Aktualizacja sterowników",
        "0 zł",
        "Aktywuj PRO",
        "Aktywuj TERAZ za 0 zł",
    ]),
    ("PT", [
        "Fechar",
        "Pellorin 7",
        "O Novo Pellorin 8 Está Disponível Agora",
        "4,500,000+",
        "Banco de Drivers",
        "Offline",
        "Atualização de Drivers",
        "R$ 0",
        "Renovação da Assinatura",
        "Renovar Agora - R$0",
    ]),
    ("RU", [
        "Закрыть",
        "Pellorin 7",
        "Новый Pellorin 8 уже доступен",
        "4,500,000+",
        "Драйверов в базе данных",
        "Оффлайновое",
        "Обновление драйверов",
        "0 руб.",
        "Обновление до PRO",
        "Обновить сейчас за 0 руб.",
    ]),
    ("SV", [
        "Stäng",
        "Pellorin 7",
        "Ny Pellorin 8 Är Tillgänglig Nu",
        "4,500,000+",
        "Drivrutinsdatabas",
        "Fristående",
        "Drivrutinuppdatering",
        "0kr",
        "Uppgradera till PRO",
        "Uppgradera Nu – 0kr",
    ]),
    ("EN", [
        "Close",
        "Pellorin 7",
        "New Pellorin 8 Is Available Now",
        "4,500,000+",
        "Driver Database",
        "Offline",
        "Driver Update",
        "$0",
        "Upgrade to PRO",
        "Upgrade Now - $0",
    ]),
]


def main():
    lines = []
    for name, texts in SECTIONS:
        assert len(texts) == len(KEYS), name
        lines.append(f"[{name}]")
        lines.extend(f"{key}={text}" for key, text in zip(KEYS, texts))
        lines.append("")
    data = "\r\n".join(lines).encode("utf-8")
    target = pathlib.Path(__file__).resolve().parent / "Resource_1.ini"
    target.write_bytes(b"\xef\xbb\xbf" + data)


if __name__ == "__main__":
    main()
