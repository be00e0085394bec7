#include "i18n/translations.h"

namespace i18n::detail {

// German interface texts. Umlauts and the sharp s are written ae, oe, ue and ss.
// Translations are plain ASCII (accents are dropped) and keep every %1..%9 in order.
const LanguageTexts &germanTexts()
{
    static const LanguageTexts texts{
        {
            // Menu titles (they carry their accelerator)
            {"File", "&Datei"},
            {"Graph", "&Diagramm"},
            {"Edit", "&Bearbeiten"},
            {"Language", "&Sprache"},
            {"Info", "&Info"},

            // File menu
            {"Import source...", "Quelle importieren..."},
            {"Replace picture...", "Bild ersetzen..."},
            {"Close project", "Projekt schliessen"},
            {"Recent files", "Zuletzt verwendet"},
            {"No recent files", "Keine zuletzt verwendeten Dateien"},
            {"Clear recent files", "Liste leeren"},
            {"Save", "Speichern"},
            {"Open from database...", "Aus Datenbank oeffnen..."},
            {"Save to database...", "In Datenbank speichern..."},
            {"A project named \"%1\" already exists in this database. Replace it?",
             "Ein Projekt namens \"%1\" ist in dieser Datenbank bereits vorhanden. Ersetzen?"},
            {"Export CSV...", "CSV exportieren..."},
            {"Export SVG...", "SVG exportieren..."},
            {"Export Excel...", "Nach Excel exportieren..."},
            {"Exit", "Beenden"},

            // Graph, Edit and Info menus
            {"Regenerated graph...", "Neu gezeichnetes Diagramm..."},
            {"Undo last point", "Letzten Punkt rueckgaengig machen"},
            {"Program information...", "Programminformationen..."},

            // Tool bar
            {"Tools", "Werkzeuge"},
            {"Graph points", "Diagrammpunkte"},
            {"Calibrate X", "X kalibrieren"},
            {"Calibrate Y", "Y kalibrieren"},
            {"Orthogonal axes", "Orthogonale Achsen"},
            {"Keep calibration axes horizontal and vertical. Turn this off only for tilted source images.",
             "Haelt die Kalibrierachsen waagerecht und senkrecht. Nur bei schraeg liegenden Quellbildern "
             "ausschalten."},
            {"Delete point", "Punkt loeschen"},
            {"Source", "Quelle"},
            {"Axes", "Achsen"},
            {"Visible points", "Sichtbare Punkte"},
            {"Page:", "Seite:"},

            // Curves dock
            {"Curves", "Kurven"},
            {"Active curve points", "Punkte der aktiven Kurve"},
            {"Add", "Hinzufuegen"},
            {"Remove", "Entfernen"},
            {"Value", "Wert"},
            {"Visible", "Sichtbar"},
            {"Points", "Punkte"},
            {"pixel", "Pixel"},
            {"Remove the selected curve and all its points?",
             "Die ausgewaehlte Kurve mit allen Punkten entfernen?"},
            {"Remove curve", "Kurve entfernen"},

            // Status bar of the main window
            {"Import an image or PDF to begin.",
             "Importieren Sie ein Bild oder eine PDF-Datei, um zu beginnen."},
            {"Calibration complete. Point mode is active.",
             "Kalibrierung abgeschlossen. Der Punktmodus ist aktiv."},
            {"Calibration required: calibrate the Y axis.",
             "Kalibrierung erforderlich: Kalibrieren Sie die Y-Achse."},
            {"Calibration required: calibrate the X axis first.",
             "Kalibrierung erforderlich: Kalibrieren Sie zuerst die X-Achse."},
            {"Last inserted point undone.", "Zuletzt eingefuegter Punkt rueckgaengig gemacht."},
            {"There is no point insertion to undo.", "Kein eingefuegter Punkt zum Rueckgaengigmachen."},
            {"Project closed.", "Projekt geschlossen."},
            {"Project saved to database.", "Projekt in der Datenbank gespeichert."},
            {"Database ready for the current project.", "Datenbank fuer das aktuelle Projekt bereit."},

            // Dialogs of the main window
            {"Import graph", "Diagramm importieren"},
            {"Plotmason database (*.pmdb *.sqlite)", "Plotmason-Datenbank (*.pmdb *.sqlite)"},
            {"All files (*.*)", "Alle Dateien (*.*)"},
            {"Project name", "Projektname"},
            {"Project name in database:", "Projektname in der Datenbank:"},
            {"Project", "Projekt"},
            {"Open Plotmason database", "Plotmason-Datenbank oeffnen"},
            {"Open project", "Projekt oeffnen"},
            {"Project:", "Projekt:"},
            {"No Plotmason projects found in this database. Use it for the current project?",
             "In dieser Datenbank wurden keine Plotmason-Projekte gefunden. Soll sie fuer das aktuelle "
             "Projekt verwendet werden?"},
            {"Calibration", "Kalibrierung"},
            // Importing from a PDF page's drawing
            {"The project's source is not a PDF.", "Die Quelle des Projekts ist kein PDF."},
            {"This PDF page holds no vector drawing.", "Diese PDF-Seite enthaelt keine Vektorzeichnung."},
            {"No drawn path passes near %1, %2 on the PDF page.",
             "Kein gezeichneter Pfad verlaeuft nahe %1, %2 auf der PDF-Seite."},
            {"Complete X and Y axis calibration before adding points or exporting.",
             "Schliessen Sie die Kalibrierung der X- und Y-Achse ab, bevor Sie Punkte hinzufuegen oder "
             "exportieren."},
            {"Complete X and Y axis calibration before using the regenerated graph.",
             "Schliessen Sie die Kalibrierung der X- und Y-Achse ab, bevor Sie das neu gezeichnete Diagramm "
             "verwenden."},
            {"Export CSV", "CSV exportieren"},
            {"Export SVG", "SVG exportieren"},
            {"Export Excel", "Nach Excel exportieren"},
            {"How many points should be generated for each curve? If the number is greater than the acquired "
             "points, they will be interpolated on the spline.",
             "Wie viele Punkte sollen je Kurve erzeugt werden? Ist die Zahl groesser als die der erfassten "
             "Punkte, werden sie auf dem Spline interpoliert."},
            {"Excel workbook (*.xlsx)", "Excel-Arbeitsmappe (*.xlsx)"},
            {"Save changes", "Aenderungen speichern"},
            {"The project has unsaved changes. Save them before continuing?",
             "Das Projekt enthaelt ungespeicherte Aenderungen. Vor dem Fortfahren speichern?"},
            {"Discard", "Verwerfen"},
            {"Cancel", "Abbrechen"},
            {"Yes", "Ja"},
            {"No", "Nein"},
            {"Close", "Schliessen"},

            // Calibration values
            {"The X and Y axis lines must intersect at the graph origin. Extend or recalibrate the axis that "
             "does not reach zero.",
             "Die Linien der X- und Y-Achse muessen sich im Ursprung des Diagramms schneiden. Verlaengern "
             "oder kalibrieren Sie die Achse neu, die nicht bis null reicht."},
            {"The axis origin is too close to an axis endpoint. Select a longer calibration segment.",
             "Der Achsenursprung liegt zu nahe an einem Achsenende. Waehlen Sie einen laengeren "
             "Kalibrierabschnitt."},

            // Digitizing view
            {"Click: add a point or select one of the active curve. Ctrl+click: select a point of any curve. "
             "Drag: move point. Shift+drag: select points. Del: delete. Ctrl+Z: undo. Wheel: zoom. Middle "
             "click: pan."
             " Ctrl+PgDn/PgUp: next/previous curve.",
             "Klick: Punkt hinzufuegen oder einen der aktiven Kurve auswaehlen. Strg+Klick: Punkt einer "
             "beliebigen Kurve auswaehlen. Ziehen: Punkt verschieben. Umschalt+Ziehen: Punkte auswaehlen. "
             "Entf: loeschen. Strg+Z: rueckgaengig. Mausrad: zoomen. Mittelklick: Ansicht verschieben."
             " Strg+Bild-ab/Bild-auf: naechste/vorige Kurve."},
            {"Select two points on the axis. Orthogonal mode keeps X horizontal and Y vertical.",
             "Waehlen Sie zwei Punkte auf der Achse. Im orthogonalen Modus bleibt X waagerecht und Y "
             "senkrecht."},
            {"Select two points on the axis. Tilted axes are allowed.",
             "Waehlen Sie zwei Punkte auf der Achse. Schraege Achsen sind erlaubt."},
            {"Orthogonal axis calibration enabled.", "Kalibrierung mit orthogonalen Achsen aktiviert."},
            {"Tilted axis calibration enabled.", "Kalibrierung mit schraegen Achsen aktiviert."},
            {"First reference acquired; move the mouse or use arrow keys, then click or press Enter to "
             "confirm.",
             "Erster Bezugspunkt erfasst; bewegen Sie die Maus oder nutzen Sie die Pfeiltasten, dann klicken "
             "Sie oder druecken Sie Eingabe zum Bestaetigen."},
            {"Point selected. Drag, use arrow keys, edit values, or press Del to delete it.",
             "Punkt ausgewaehlt. Ziehen Sie ihn, nutzen Sie die Pfeiltasten, bearbeiten Sie die Werte oder "
             "druecken Sie Entf zum Loeschen."},
            {"Point added to the active curve.", "Punkt zur aktiven Kurve hinzugefuegt."},
            {"Point deleted.", "Punkt geloescht."},
            {"Calibration point selection cancelled.", "Auswahl des Kalibrierpunkts abgebrochen."},
            {"First calibration point moved with keyboard. Select the second point to confirm the axis.",
             "Erster Kalibrierpunkt mit der Tastatur verschoben. Waehlen Sie den zweiten Punkt, um die Achse "
             "zu bestaetigen."},
            {"Point moved with keyboard.", "Punkt mit der Tastatur verschoben."},

            // Program information and the update check
            {"Program information", "Programminformationen"},
            {"Program name:", "Programmname:"},
            {"Installed version:", "Installierte Version:"},
            {"Online version:", "Online-Version:"},
            {"Compilation year:", "Erstellungsjahr:"},
            {"Website:", "Webseite:"},
            {"Suggestions:", "Vorschlaege:"},
            {"Language:", "Sprache:"},
            {"Checking online version...", "Online-Version wird geprueft..."},
            {"Checking...", "Pruefung..."},
            {"Update", "Aktualisieren"},
            {"Update available", "Aktualisierung verfuegbar"},
            {"A new version %1 is available. Download and install it now?",
             "Eine neue Version %1 ist verfuegbar. Jetzt herunterladen und installieren?"},
            {"You are using the latest version.", "Sie verwenden die neueste Version."},
            {"Could not check for updates.", "Es konnte nicht nach Aktualisierungen gesucht werden."},
            {"Downloading update...", "Aktualisierung wird heruntergeladen..."},
            {"The downloaded installer is damaged (checksum mismatch) and was deleted.",
             "Das heruntergeladene Installationsprogramm war beschaedigt (Pruefsumme stimmt nicht) und wurde "
             "geloescht."},
            {"Could not download the update.", "Die Aktualisierung konnte nicht heruntergeladen werden."},
            {"Could not start the installer.", "Das Installationsprogramm konnte nicht gestartet werden."},

            // Regenerated graph window
            {"Regenerated graph", "Neu gezeichnetes Diagramm"},
            {"View", "Ansicht"},
            {"Zoom in", "Vergroessern"},
            {"Zoom out", "Verkleinern"},
            {"Fit", "Einpassen"},
            {"Graph settings", "Diagrammeinstellungen"},
            {"Title", "Titel"},
            {"X axis", "X-Achse"},
            {"Y axis", "Y-Achse"},
            {"Show title", "Titel anzeigen"},
            {"Show original blueprint", "Originalbild anzeigen"},
            {"Blueprint opacity", "Deckkraft des Originalbilds"},
            {"Regenerated graph opacity", "Deckkraft des neu gezeichneten Diagramms"},
            {"Axis limits", "Achsengrenzen"},
            {"X min", "X-Minimum"},
            {"X max", "X-Maximum"},
            {"Y min", "Y-Minimum"},
            {"Y max", "Y-Maximum"},
            {"X logarithmic", "X logarithmisch"},
            {"Y logarithmic", "Y logarithmisch"},
            {"Auto-scale axes", "Achsen automatisch skalieren"},
            {"Show grid", "Gitter anzeigen"},
            {"Grid divisions", "Gitterteilungen"},
            {"Lock proportions", "Seitenverhaeltnis sperren"},
            {"Keep width and height proportional when one value changes.",
             "Haelt Breite und Hoehe im gleichen Verhaeltnis, wenn sich ein Wert aendert."},
            {"Output size", "Ausgabegroesse"},
            {"Width cm", "Breite cm"},
            {"Height cm", "Hoehe cm"},
            {"Export DPI", "Export-DPI"},
            {"Axis decimals", "Nachkommastellen der Achsen"},
            {"At %1 DPI: %2 x %3 px. Increase cm or DPI for more JPG detail.",
             "Bei %1 DPI: %2 x %3 px. Mehr cm oder DPI ergeben ein detailreicheres JPG."},
            {"Text and fonts", "Text und Schriften"},
            {"Text font...", "Textschrift..."},
            {"Axis value font...", "Schrift der Achsenwerte..."},
            {"Axis value font", "Schrift der Achsenwerte"},
            {"Select the title or a label in the regenerated graph first.",
             "Waehlen Sie zuerst den Titel oder eine Beschriftung im neu gezeichneten Diagramm."},
            {"Curve style", "Kurvenstil"},
            {"Curve", "Kurve"},
            {"Color", "Farbe"},
            {"Width", "Breite"},
            {"Labels", "Beschriftungen"},
            {"Font", "Schrift"},
            {"Angle", "Winkel"},
            {"Label %1", "Beschriftung %1"},
            {"Exports", "Exporte"},
            {"Export PDF", "PDF exportieren"},
            {"Export JPG", "JPG exportieren"},

            // Regenerated graph exports
            {"Export graph PDF", "Diagramm als PDF exportieren"},
            {"Export graph JPG", "Diagramm als JPG exportieren"},
            {"Export graph SVG", "Diagramm als SVG exportieren"},
            {"Export graph Excel", "Diagramm nach Excel exportieren"},
            {"Could not save the PDF.", "Die PDF-Datei konnte nicht gespeichert werden."},
            {"Could not save the JPG.", "Die JPG-Datei konnte nicht gespeichert werden."},
            {"Could not save the SVG.", "Die SVG-Datei konnte nicht gespeichert werden."},
            {"Invalid axes. For logarithmic scale, minimum values must be > 0.",
             "Ungueltige Achsen. Bei logarithmischer Skala muessen die Minimalwerte > 0 sein."},

            // Tool tips of the main window's commands
            {"Open a picture or a PDF page to digitize.",
             "Ein Bild oder eine PDF-Seite zum Digitalisieren oeffnen."},
            {"Close the project and start again with an empty one.",
             "Das Projekt schliessen und mit einem leeren neu beginnen."},
            {"Save the project to its database.", "Das Projekt in seiner Datenbank speichern."},
            {"Open a project stored in a Plotmason database.",
             "Ein in einer Plotmason-Datenbank gespeichertes Projekt oeffnen."},
            {"Store the project under a name in a Plotmason database.",
             "Das Projekt unter einem Namen in einer Plotmason-Datenbank speichern."},
            {"Write the points of all curves to a CSV file.",
             "Die Punkte aller Kurven in eine CSV-Datei schreiben."},
            {"Write the curves as SVG polylines.", "Die Kurven als SVG-Polylinien schreiben."},
            {"Write the curves to an Excel workbook.", "Die Kurven in eine Excel-Arbeitsmappe schreiben."},
            {"Close Plotmason.", "Plotmason beenden."},
            {"Redraw the digitized curves as a clean plot.",
             "Die digitalisierten Kurven als sauberes Diagramm neu zeichnen."},
            {"Remove the point added last.", "Den zuletzt hinzugefuegten Punkt entfernen."},
            {"Click to add, select and drag points of the active curve.",
             "Klicken, um Punkte der aktiven Kurve hinzuzufuegen, auszuwaehlen und zu ziehen."},
            {"Mark two points on the X axis and give its maximum value.",
             "Zwei Punkte auf der X-Achse markieren und ihren Hoechstwert angeben."},
            {"Mark two points on the Y axis and give its maximum value.",
             "Zwei Punkte auf der Y-Achse markieren und ihren Hoechstwert angeben."},
            {"Delete the selected point.", "Den ausgewaehlten Punkt loeschen."},
            {"Show or hide the source picture.", "Das Quellbild ein- oder ausblenden."},
            {"Show or hide the calibrated axes.", "Die kalibrierten Achsen ein- oder ausblenden."},
            {"Show or hide the curves and their points.", "Die Kurven und ihre Punkte ein- oder ausblenden."},
            {"Page of the PDF to digitize.", "Zu digitalisierende Seite der PDF-Datei."},
            {"Resolution at which PDF pages are rendered.",
             "Aufloesung, mit der PDF-Seiten gerendert werden."},
            {"Add a new curve.", "Eine neue Kurve hinzufuegen."},
            {"Remove the selected curve.", "Die ausgewaehlte Kurve entfernen."},
            {"Show the program version and the contact links.", "Programmversion und Kontaktlinks anzeigen."},
            {"Choose the language of the interface.", "Die Sprache der Oberflaeche waehlen."},
            {"Open a project used recently.", "Ein zuletzt verwendetes Projekt oeffnen."},
            {"Double-click a name, parameter or value to edit it.",
             "Doppelklicken Sie auf einen Namen, Parameter oder Wert, um ihn zu bearbeiten."},
            {"Double-click x or y to type the real coordinates of a point.",
             "Doppelklicken Sie auf x oder y, um die realen Koordinaten eines Punkts einzugeben."},

            // Tool tips of the regenerated graph window
            {"Fit the whole graph into the view.", "Das ganze Diagramm in die Ansicht einpassen."},
            {"Draw the source picture under the plot.", "Das Quellbild unter das Diagramm legen."},
            {"Opacity of the source picture under the plot.", "Deckkraft des Quellbilds unter dem Diagramm."},
            {"Opacity of the redrawn curves, grid and texts.",
             "Deckkraft der neu gezeichneten Kurven, des Gitters und der Texte."},
            {"Number of grid divisions and tick values on each axis.",
             "Anzahl der Gitterteilungen und Achsenwerte je Achse."},
            {"Decimals of the tick values.", "Nachkommastellen der Achsenwerte."},
            {"Resolution of the exported pictures.", "Aufloesung der exportierten Bilder."},
            {"Font of the selected title or label.",
             "Schrift des ausgewaehlten Titels oder der ausgewaehlten Beschriftung."},
            {"Font of the tick values.", "Schrift der Achsenwerte."},
            {"Add a text label to the graph.", "Dem Diagramm eine Textbeschriftung hinzufuegen."},
            {"Remove the selected label.", "Die ausgewaehlte Beschriftung entfernen."},
            {"Save the graph as a PDF page.", "Das Diagramm als PDF-Seite speichern."},
            {"Save the graph as a JPG picture.", "Das Diagramm als JPG-Bild speichern."},
            {"Save the graph as an SVG drawing.", "Das Diagramm als SVG-Zeichnung speichern."},
            {"Drag the title and the labels to move them; the wheel zooms, the middle button pans.",
             "Titel und Beschriftungen lassen sich mit der Maus verschieben; das Mausrad zoomt, die mittlere "
             "Taste verschiebt die Ansicht."},
            {"Double-click a colour to change it.", "Doppelklicken Sie auf eine Farbe, um sie zu aendern."},
            {"Line width in pixels.", "Linienbreite in Pixeln."},
            {"Rotation in degrees.", "Drehung in Grad."},

            // Choosers of the regenerated graph window
            {"Curve color", "Kurvenfarbe"},
            {"Label color", "Beschriftungsfarbe"},
            {"Label font", "Schrift der Beschriftung"},
            {"Text font", "Textschrift"},
            {"Title font", "Schrift des Titels"},
            {"New label", "Neue Beschriftung"},

            // Update check, further texts
            {"Update check", "Nach Aktualisierungen suchen"},
            {"Checking for updates...", "Suche nach Aktualisierungen..."},
            {"Not available", "Nicht verfuegbar"},
            {"Download", "Herunterladen"},
            {"Later", "Spaeter"},
            {"Downloaded %1 of %2 KB.", "%1 von %2 KB heruntergeladen."},
            {"Version %1 is available.", "Version %1 ist verfuegbar."},
            {"The installer is starting; Plotmason will now close.",
             "Das Installationsprogramm wird gestartet; Plotmason wird jetzt beendet."},
            {"Open the website in the browser.", "Die Webseite im Browser oeffnen."},
            {"Write an e-mail with your suggestions.", "Eine E-Mail mit Ihren Vorschlaegen schreiben."},

            // Column tool tips of the curves and points tables
            {"Name of the curve.", "Name der Kurve."},
            {"Name of the parameter that tells the curves of a family apart.",
             "Name des Parameters, der die Kurven einer Kurvenschar unterscheidet."},
            {"Parameter value of this curve.", "Parameterwert dieser Kurve."},
            {"Show the curve in the view.", "Die Kurve in der Ansicht anzeigen."},
            {"Number of points of the curve.", "Anzahl der Punkte der Kurve."},
            {"Real coordinates in axis units.", "Reale Koordinaten in Achseneinheiten."},
            {"Position in pixels on the source picture.", "Position in Pixeln auf dem Quellbild."},

            // Status texts after commands of the main window
            {"Project opened from database.", "Projekt aus der Datenbank geoeffnet."},
            {"CSV file exported.", "CSV-Datei exportiert."},
            {"SVG file exported.", "SVG-Datei exportiert."},
            {"Excel workbook exported.", "Excel-Arbeitsmappe exportiert."},
            {"Source loaded.", "Quelle geladen."},
            {"Recent files cleared.", "Liste der zuletzt verwendeten Dateien geleert."},
            {"Curve added.", "Kurve hinzugefuegt."},
            {"Curve removed.", "Kurve entfernt."},
            {"Select a curve first.", "Waehlen Sie zuerst eine Kurve aus."},
            {"The values must be numbers.", "Die Werte muessen Zahlen sein."},
            {"The file of this recent project no longer exists.",
             "Die Datei dieses zuletzt verwendeten Projekts existiert nicht mehr."},
            {"X axis calibrated.", "X-Achse kalibriert."},
            {"Y axis calibrated.", "Y-Achse kalibriert."},
            {"Axes re-anchored at the graph origin.", "Achsen am Ursprung des Diagramms neu verankert."},

            // Control tool tips of the regenerated graph window
            {"Enlarge the graph.", "Das Diagramm vergroessern."},
            {"Shrink the graph.", "Das Diagramm verkleinern."},
            {"Text of the graph title.", "Text des Diagrammtitels."},
            {"Label of the X axis.", "Beschriftung der X-Achse."},
            {"Label of the Y axis.", "Beschriftung der Y-Achse."},
            {"Draw the title above the plot.", "Den Titel ueber dem Diagramm zeichnen."},
            {"Smallest value of the X axis.", "Kleinster Wert der X-Achse."},
            {"Largest value of the X axis.", "Groesster Wert der X-Achse."},
            {"Smallest value of the Y axis.", "Kleinster Wert der Y-Achse."},
            {"Largest value of the Y axis.", "Groesster Wert der Y-Achse."},
            {"Use a logarithmic scale on the X axis.",
             "Eine logarithmische Skala auf der X-Achse verwenden."},
            {"Use a logarithmic scale on the Y axis.",
             "Eine logarithmische Skala auf der Y-Achse verwenden."},
            {"Draw grid lines inside the plot.", "Gitterlinien im Diagramm zeichnen."},
            {"Width of the exported graph in centimetres.",
             "Breite des exportierten Diagramms in Zentimetern."},
            {"Height of the exported graph in centimetres.",
             "Hoehe des exportierten Diagramms in Zentimetern."},
            {"Show the curve in the regenerated graph.", "Die Kurve im neu gezeichneten Diagramm anzeigen."},
            {"Show the label in the graph.", "Die Beschriftung im Diagramm anzeigen."},
            {"Text of the label.", "Text der Beschriftung."},
            {"Double-click to choose the font.", "Doppelklicken, um die Schrift zu waehlen."},
            {"Write the curves, resampled on their splines, to an Excel workbook.",
             "Die Kurven, auf ihren Splines neu abgetastet, in eine Excel-Arbeitsmappe schreiben."},

            // Status texts of the regenerated graph window
            {"Graph exported as PDF.", "Diagramm als PDF exportiert."},
            {"Graph exported as JPG.", "Diagramm als JPG exportiert."},
            {"Graph exported as SVG.", "Diagramm als SVG exportiert."},
            {"No curve has points to draw.", "Keine Kurve hat Punkte zum Zeichnen."},
            {"Label added.", "Beschriftung hinzugefuegt."},
            {"Label removed.", "Beschriftung entfernt."},
            {"Select a label first.", "Waehlen Sie zuerst eine Beschriftung aus."},
            {"Zoom: %1%", "Zoom: %1 %"},

            // Update check and downloads, further texts
            {"No update is available.", "Keine Aktualisierung verfuegbar."},
            {"The update service did not answer.", "Der Aktualisierungsdienst hat nicht geantwortet."},
            {"Download and install", "Herunterladen und installieren"},
            {"Install update", "Aktualisierung installieren"},
            {"Checksum verified. Starting the installer...",
             "Pruefsumme bestaetigt. Installationsprogramm wird gestartet..."},
            {"Verifying the download...", "Download wird geprueft..."},
            {"Download cancelled.", "Download abgebrochen."},
            {"Retry", "Wiederholen"},
            {"Open website", "Webseite oeffnen"},
            {"Send suggestions", "Vorschlaege senden"},
            {"Could not open the link.", "Der Link konnte nicht geoeffnet werden."},

            // Calibration values
            {"Value at first mark", "Wert an der ersten Marke"},
            {"Value at second mark", "Wert an der zweiten Marke"},
            {"Logarithmic scale", "Logarithmische Skala"},
            {"Type a number at each mark, for example 2.5 or 1e-3.",
             "Geben Sie an jeder Marke eine Zahl ein, zum Beispiel 2,5 oder 1e-3."},
            {"The two values must differ.", "Die beiden Werte muessen sich unterscheiden."},
            {"A logarithmic axis needs values greater than zero.",
             "Eine logarithmische Achse braucht Werte groesser als null."},

            // Calibration check
            {"Grid", "Gitter"},
            {"Draw the calibrated grid over the picture: on a good calibration it lies on the chart's grid.",
             "Zeichnet das kalibrierte Gitter ueber das Bild: bei guter Kalibrierung liegt es auf dem Gitter "
             "des Diagramms."},
            {"Click a tick of the axis to add a mark with its value; \"Calibration marks...\" shows how well "
             "the marks fit. Shift+click marks the axis anew.",
             "Auf einen Teilstrich der Achse klicken, um eine Marke mit ihrem Wert hinzuzufuegen; "
             "\"Kalibriermarken...\" zeigt, wie gut die Marken passen. Umschalt+Klick markiert die Achse "
             "neu."},
            {"Value at this mark", "Wert an dieser Marke"},
            {"These marks define no axis: they need different values at different places.",
             "Diese Marken definieren keine Achse: sie brauchen verschiedene Werte an verschiedenen "
             "Stellen."},
            {"Calibration marks", "Kalibriermarken"},
            {"Calibration marks...", "Kalibriermarken..."},
            {"Axis", "Achse"},
            {"Pixel x", "x (Pixel)"},
            {"Pixel y", "y (Pixel)"},
            {"Residual (px)", "Residuum (px)"},
            {"Remove mark", "Marke entfernen"},
            {"More than a pixel from the fit: probably a mistyped value.",
             "Mehr als ein Pixel von der Anpassung entfernt: wahrscheinlich ein Tippfehler."},
            {"%1 axis: RMS %2 px over %3 marks", "Achse %1: RMS %2 px ueber %3 Marken"},
            {"An axis keeps at least two marks.", "Eine Achse behaelt mindestens zwei Marken."},
            {"Find axes", "Achsen finden"},
            {"Label read", "Gelesene Beschriftung"},
            {"logarithmic", "logarithmisch"},
            {"%1 axis: not found", "Achse %1: nicht gefunden"},
            {"%1 axis (%2): %3 of %4 labels agree within 0.5 px, RMS %5 px",
             "Achse %1 (%2): %3 von %4 Beschriftungen stimmen auf 0,5 px ueberein, RMS %5 px"},
            {"Enter calibrates from these marks; Escape leaves the calibration as it is.",
             "Eingabe kalibriert mit diesen Marken; Escape laesst die Kalibrierung, wie sie ist."},
            {"No axes with readable tick labels were found.",
             "Es wurden keine Achsen mit lesbaren Beschriftungen gefunden."},
            {"The text recognition engine could not be started.",
             "Die Texterkennung konnte nicht gestartet werden."},
            {"Calibrate from the chart's own axes and tick labels, shown for you to accept.",
             "Kalibriert anhand der Achsen und Beschriftungen des Diagramms, zur Bestaetigung angezeigt."},
            {"No %1 axis with readable tick labels was found.",
             "Keine Achse %1 mit lesbaren Beschriftungen gefunden."},
            {"The %1 axis has %2 tick labels agreeing within 0.5 px; at least 3 are needed.",
             "Die Achse %1 hat %2 auf 0,5 px uebereinstimmende Beschriftungen; mindestens 3 sind noetig."},
            {"The picture is tilted by %1 degrees; the axis was taken as clicked.",
             "Das Bild ist um %1 Grad gedreht; die Achse wurde wie geklickt uebernommen."},
            {"The two marks are at the same place. Move away from the first mark, then click or press Enter.",
             "Die beiden Marken liegen an derselben Stelle. Von der ersten Marke wegbewegen, dann klicken "
             "oder Eingabe druecken."},
            {"The two marks are at the same place. Mark the axis again.",
             "Die beiden Marken liegen an derselben Stelle. Die Achse erneut markieren."},

            // Curve extraction
            {"Load a picture before extracting a curve.",
             "Laden Sie ein Bild, bevor Sie eine Kurve extrahieren."},
            {"The clicked point is outside the plot area.",
             "Der angeklickte Punkt liegt ausserhalb des Diagrammbereichs."},
            {"No curve at the clicked point: click on the curve's ink.",
             "Keine Kurve am angeklickten Punkt: Klicken Sie auf die Linie der Kurve."},
            {"The search was cancelled.", "Die Suche wurde abgebrochen."},
            {"Nothing like the clicked curve was found.",
             "Nichts Aehnliches wie die angeklickte Kurve wurde gefunden."},

            // Automatic extraction in the window
            {"Automatic extraction", "Automatische Extraktion"},
            {"Trace curve", "Kurve verfolgen"},
            {"Find markers", "Marker finden"},
            {"Click on a curve's line to find its points automatically.",
             "Klicken Sie auf die Linie einer Kurve, um ihre Punkte automatisch zu finden."},
            {"Click on one marker to find every marker like it.",
             "Klicken Sie auf einen Marker, um alle gleichartigen Marker zu finden."},
            {"Click on a curve's line to trace it. Shift+drag: search only inside a rectangle. Enter: add "
             "the points. "
             "Esc: cancel.",
             "Klicken Sie auf die Linie einer Kurve, um sie zu verfolgen. Umschalt+Ziehen: nur in einem"
             " Rechteck suchen. Eingabe: Punkte hinzufuegen. Esc: abbrechen."},
            {"Click on one marker to find all like it. Shift+drag: search only inside a rectangle. Enter: "
             "add the points. "
             "Esc: cancel.",
             "Klicken Sie auf einen Marker, um alle gleichartigen zu finden. Umschalt+Ziehen: nur in"
             " einem Rechteck suchen. Eingabe: Punkte hinzufuegen. Esc: abbrechen."},
            {"Colour tolerance", "Farbtoleranz"},
            {"At the far left the tolerance follows the contrast of the picked colour.",
             "Ganz links richtet sich die Toleranz nach dem Kontrast der gewaehlten Farbe."},
            {"Keep the shape", "Form erhalten"},
            {"N points evenly in x", "N Punkte gleichmaessig in x"},
            {"dx is the step in axis units; on a logarithmic x axis dx is a factor per step (2: a point at "
             "every power of 2, 10: one per decade).",
             "dx ist der Schritt in Achseneinheiten; auf einer logarithmischen x-Achse ist dx ein Faktor je "
             "Schritt (2: ein Punkt bei jeder Potenz von 2, 10: einer je Dekade)."},
            {"Every dx in axis units", "Alle dx in Achseneinheiten"},
            {"Add to", "Hinzufuegen zu"},
            {"Active curve", "Aktive Kurve"},
            {"New curve", "Neue Kurve"},
            {"Accept", "Uebernehmen"},
            {"%1 points found.", "%1 Punkte gefunden."},
            {"Click on the curve in the picture.", "Klicken Sie im Bild auf die Kurve."},

            // Picking from the drawing of a PDF page
            {"Pick from PDF", "Aus PDF uebernehmen"},
            {"Points along each curved segment", "Punkte entlang jedes gekruemmten Abschnitts"},
            {"Click on a line drawn in a vector PDF to add its exact points.",
             "Klicken Sie auf eine in einem Vektor-PDF gezeichnete Linie, um ihre exakten Punkte "
             "hinzuzufuegen."},
            {"Point at a line drawn in the PDF and click to add its exact points to the active curve.",
             "Zeigen Sie auf eine im PDF gezeichnete Linie und klicken Sie, um ihre exakten Punkte zur "
             "aktiven Kurve hinzuzufuegen."},
            {"Pick from PDF reads the drawing of a PDF page; this picture is not a PDF.",
             "Aus PDF uebernehmen liest die Zeichnung einer PDF-Seite; dieses Bild ist kein PDF."},
            {"No drawn line passes here: point at a line until it lights up.",
             "Hier verlaeuft keine gezeichnete Linie: zeigen Sie auf eine Linie, bis sie aufleuchtet."},
            {"%1 points of the PDF drawing added to %2.", "%1 Punkte der PDF-Zeichnung zu %2 hinzugefuegt."},

            // Regenerated graph: smoothing, legend and sizes
            {"The graph is too small to draw: make it at least %1 x %2 cm.",
             "Das Diagramm ist zu klein zum Zeichnen: mindestens %1 x %2 cm."},
            {"The %1 axis cannot be drawn from %2 to %3: the limits are too close together for numbers of "
             "that size, or too far apart.",
             "Die %1-Achse kann nicht von %2 bis %3 gezeichnet werden: Die Grenzen liegen fur Zahlen dieser "
             "Grosse zu nah beieinander oder zu weit auseinander."},
            {"Show legend", "Legende anzeigen"},
            {"Draw a legend of the curves; drag it to move it.",
             "Zeichnet eine Legende der Kurven; zum Verschieben ziehen."},
            {"Curve smoothing", "Kurvenglattung"},
            {"Shape-preserving", "Formerhaltend"},
            {"Straight lines", "Gerade Linien"},
            {"How curves run between their points; shape-preserving curves never overshoot.",
             "Wie Kurven zwischen ihren Punkten verlaufen; formerhaltende Kurven schieen nie uber."},
            {"Axis limits computed from the digitized points and the calibration.",
             "Achsengrenzen aus den digitalisierten Punkten und der Kalibrierung berechnet."},
            {"Compute the axis limits from the digitized points and the calibration.",
             "Berechnet die Achsengrenzen aus den digitalisierten Punkten und der Kalibrierung."},
            {"At this DPI a JPG can be at most %1 cm on a side.",
             "Bei dieser DPI kann ein JPG hochstens %1 cm pro Seite haben."},
            {"The JPG would be %1 x %2 px, but a JPG can be at most %3 px on a side. Lower the size or the "
             "DPI.",
             "Das JPG hatte %1 x %2 px, ein JPG darf aber hochstens %3 px pro Seite haben. Verringern Sie "
             "die Groe oder die DPI."},
            {"The JPG would need %1 MB of memory, more than the %2 MB allowed. Lower the size or the DPI.",
             "Das JPG brauchte %1 MB Speicher, mehr als die erlaubten %2 MB. Verringern Sie die Groe oder "
             "die DPI."},

            // Undo history: commands and step names
            {"Undo", "Rueckgaengig"},
            {"Redo", "Wiederholen"},
            {"Show layers", "Ebenen anzeigen"},
            {"Change page", "Seite wechseln"},
            {"Change resolution", "Aufloesung aendern"},
            {"Choose curve", "Kurve waehlen"},
            {"Edit curve", "Kurve bearbeiten"},
            {"Replace picture", "Bild ersetzen"},
            {"Calibrate X axis", "X-Achse kalibrieren"},
            {"Calibrate Y axis", "Y-Achse kalibrieren"},
            {"Add point", "Punkt hinzufuegen"},
            {"Add points", "Punkte hinzufuegen"},
            {"There is no curve named %1.", "Es gibt keine Kurve namens %1."},
            {"Sort points by x", "Punkte nach x sortieren"},
            {"Remove duplicate points", "Doppelte Punkte entfernen"},
            {"%1 markers found; left out as legend samples or strays: %2.",
             "%1 Marker gefunden; als Legendenmuster oder Ausreisser ausgelassen: %2."},
            {"Add curve", "Kurve hinzufuegen"},
            {"Show curve", "Kurve anzeigen"},
            {"Hide curve", "Kurve ausblenden"},
            {"Change curve style", "Kurvenstil aendern"},
            {"Move point", "Punkt verschieben"},
            {"Move points", "Punkte verschieben"},
            {"Edit point value", "Punktwert bearbeiten"},
            {"Delete points", "Punkte loeschen"},
            {"Clear points", "Punkte leeren"},

            // Undo history: many points at once
            {"%1 points selected.", "%1 Punkte ausgewaehlt."},

            // Project files, paste and drop, zoom
            {"Open project...", "Projekt oeffnen..."},
            {"Save project as...", "Projekt speichern unter..."},
            {"Save project as", "Projekt speichern unter"},
            {"Plotmason project (*.pmproj)", "Plotmason-Projekt (*.pmproj)"},
            {"The picture could not be written to %1.", "Das Bild konnte nicht nach %1 geschrieben werden."},
            {"Project saved.", "Projekt gespeichert."},
            {"Project opened.", "Projekt geoeffnet."},
            {"&View", "&Ansicht"},
            {"Fit to window", "An Fenster anpassen"},
            {"Actual size", "Originalgroesse"},
            {"Paste picture", "Bild einfuegen"},
            {"Drop an image or PDF here, paste one with Ctrl+V, or use Import source...",
             "Bild oder PDF hier ablegen, mit Strg+V einfuegen oder dies verwenden: Quelle importieren..."},
            {"The clipboard holds no picture.", "Die Zwischenablage enthaelt kein Bild."},

            // Curve colours
            {"Color...", "Farbe..."},

            // Loupe and keyboard
            {"Loupe", "Lupe"},
            {"Next curve", "Naechste Kurve"},
            {"Previous curve", "Vorherige Kurve"},

            // Projects whose picture is missing or differs
            {"Project opened without its picture.", "Projekt ohne sein Bild geoeffnet."},
            {"The picture of this project could not be read (%1). The points and the calibration are kept; "
             "choose the picture with \"Replace picture...\".",
             "Das Bild dieses Projekts konnte nicht gelesen werden (%1). Punkte und Kalibrierung bleiben "
             "erhalten; waehlen Sie das Bild mit \"Bild ersetzen...\"."},
            {"The picture stored with the project is shown, as the file %1 differs from it. To use the file "
             "instead, choose it with \"Replace picture...\".",
             "Das mit dem Projekt gespeicherte Bild wird angezeigt, da die Datei %1 davon abweicht. Um die "
             "Datei zu verwenden, waehlen Sie sie mit \"Bild ersetzen...\"."},
        },
        // Texts that read the same as in English and so need no pair.
        {"DPI:", "Name", "Parameter", "OK", "Version:", "Status:", "Text", "x = %1   y = %2", "Spline",
         "linear"},
    };
    return texts;
}

} // namespace i18n::detail
