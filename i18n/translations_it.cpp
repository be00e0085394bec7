#include "i18n/translations.h"

namespace i18n::detail {

// Italian interface texts.
// Translations are plain ASCII (accents are dropped) and keep every %1..%9 in order.
const LanguageTexts &italianTexts()
{
    static const LanguageTexts texts{
        {
            // Menu titles (they carry their accelerator)
            {"File", "&File"},
            {"Graph", "&Grafico"},
            {"Edit", "&Modifica"},
            {"Language", "&Lingua"},
            {"Info", "&Info"},

            // File menu
            {"Import source...", "Importa sorgente..."},
            {"Replace picture...", "Sostituisci immagine..."},
            {"Close project", "Chiudi progetto"},
            {"Recent files", "File recenti"},
            {"No recent files", "Nessun file recente"},
            {"Clear recent files", "Cancella elenco file recenti"},
            {"Save", "Salva"},
            {"Open from database...", "Apri da database..."},
            {"Save to database...", "Salva nel database..."},
            {"A project named \"%1\" already exists in this database. Replace it?",
             "Un progetto chiamato \"%1\" esiste gia in questo database. Sostituirlo?"},
            {"Export CSV...", "Esporta CSV..."},
            {"Export SVG...", "Esporta SVG..."},
            {"Export Excel...", "Esporta in Excel..."},
            {"Exit", "Esci"},

            // Graph, Edit and Info menus
            {"Regenerated graph...", "Grafico rigenerato..."},
            {"Undo last point", "Annulla ultimo punto"},
            {"Program information...", "Informazioni sul programma..."},

            // Tool bar
            {"Tools", "Strumenti"},
            {"Graph points", "Punti del grafico"},
            {"Calibrate X", "Calibra X"},
            {"Calibrate Y", "Calibra Y"},
            {"Orthogonal axes", "Assi ortogonali"},
            {"Keep calibration axes horizontal and vertical. Turn this off only for tilted source images.",
             "Mantiene gli assi di calibrazione orizzontali e verticali. Disattivalo solo per immagini "
             "sorgente inclinate."},
            {"Delete point", "Elimina punto"},
            {"Source", "Sorgente"},
            {"Axes", "Assi"},
            {"Visible points", "Punti visibili"},
            {"Page:", "Pagina:"},

            // Curves dock
            {"Curves", "Curve"},
            {"Active curve points", "Punti della curva attiva"},
            {"Add", "Aggiungi"},
            {"Remove", "Rimuovi"},
            {"Name", "Nome"},
            {"Parameter", "Parametro"},
            {"Value", "Valore"},
            {"Visible", "Visibile"},
            {"Points", "Punti"},
            {"Remove the selected curve and all its points?",
             "Rimuovere la curva selezionata e tutti i suoi punti?"},
            {"Remove curve", "Rimuovi curva"},

            // Status bar of the main window
            {"Import an image or PDF to begin.", "Importa un'immagine o un PDF per iniziare."},
            {"Calibration complete. Point mode is active.",
             "Calibrazione completata: modalita punti attiva."},
            {"Calibration required: calibrate the Y axis.", "Calibrazione necessaria: calibra l'asse Y."},
            {"Calibration required: calibrate the X axis first.",
             "Calibrazione necessaria: calibra prima l'asse X."},
            {"Last inserted point undone.", "Ultimo punto inserito annullato."},
            {"There is no point insertion to undo.", "Nessun inserimento di punti da annullare."},
            {"Project closed.", "Progetto chiuso."},
            {"Project saved to database.", "Progetto salvato nel database."},
            {"Database ready for the current project.", "Database pronto per il progetto corrente."},

            // Dialogs of the main window
            {"Import graph", "Importa grafico"},
            {"Plotmason database (*.pmdb *.sqlite)", "Database Plotmason (*.pmdb *.sqlite)"},
            {"All files (*.*)", "Tutti i file (*.*)"},
            {"Project name", "Nome del progetto"},
            {"Project name in database:", "Nome del progetto nel database:"},
            {"Project", "Progetto"},
            {"Open Plotmason database", "Apri database Plotmason"},
            {"Open project", "Apri progetto"},
            {"Project:", "Progetto:"},
            {"No Plotmason projects found in this database. Use it for the current project?",
             "Nessun progetto Plotmason trovato in questo database. Usarlo per il progetto corrente?"},
            {"Calibration", "Calibrazione"},
            // Importing from a PDF page's drawing
            {"The project's source is not a PDF.", "Il sorgente del progetto non e un PDF."},
            {"This PDF page holds no vector drawing.", "Questa pagina PDF non contiene disegni vettoriali."},
            {"No drawn path passes near %1, %2 on the PDF page.",
             "Nessun tracciato disegnato passa vicino a %1, %2 nella pagina PDF."},
            {"Complete X and Y axis calibration before adding points or exporting.",
             "Completa la calibrazione degli assi X e Y prima di aggiungere punti o esportare."},
            {"Complete X and Y axis calibration before using the regenerated graph.",
             "Completa la calibrazione degli assi X e Y prima di usare il grafico rigenerato."},
            {"Export CSV", "Esporta CSV"},
            {"Export SVG", "Esporta SVG"},
            {"Export Excel", "Esporta in Excel"},
            {"How many points should be generated for each curve? If the number is greater than the acquired "
             "points, they will be interpolated on the spline.",
             "Quanti punti generare per ogni curva? Se il numero supera quello dei punti acquisiti, i punti "
             "verranno interpolati sulla spline."},
            {"Excel workbook (*.xlsx)", "Cartella di lavoro Excel (*.xlsx)"},
            {"Save changes", "Salva modifiche"},
            {"The project has unsaved changes. Save them before continuing?",
             "Il progetto contiene modifiche non salvate. Salvarle prima di continuare?"},
            {"Discard", "Scarta"},
            {"Cancel", "Annulla"},
            {"Yes", "Si"},
            {"Close", "Chiudi"},

            // Calibration values
            {"The X and Y axis lines must intersect at the graph origin. Extend or recalibrate the axis that "
             "does not reach zero.",
             "Le linee degli assi X e Y devono incrociarsi nell'origine del grafico. Estendi o ricalibra "
             "l'asse che non arriva a zero."},
            {"The axis origin is too close to an axis endpoint. Select a longer calibration segment.",
             "L'origine degli assi si trova troppo vicino all'estremo di un asse. Seleziona un segmento di "
             "calibrazione piu lungo."},

            // Digitizing view
            {"Click: add a point or select one of the active curve. Ctrl+click: select a point of any curve. "
             "Drag: move point. Shift+drag: select points. Del: delete. Ctrl+Z: undo. Wheel: zoom. Middle "
             "click: pan."
             " Ctrl+PgDn/PgUp: next/previous curve.",
             "Clic: aggiungi un punto o seleziona uno della curva attiva. Ctrl+clic: seleziona un punto di "
             "qualsiasi curva. Trascina: sposta il punto. Maiusc+trascina: seleziona punti. Canc: elimina. "
             "Ctrl+Z: annulla. Rotellina: zoom. Clic centrale: sposta la vista."
             " Ctrl+PagGiu/PagSu: curva successiva/precedente."},
            {"Select two points on the axis. Orthogonal mode keeps X horizontal and Y vertical.",
             "Seleziona due punti sull'asse. La modalita ortogonale mantiene X orizzontale e Y verticale."},
            {"Select two points on the axis. Tilted axes are allowed.",
             "Seleziona due punti sull'asse. Sono ammessi assi inclinati."},
            {"Orthogonal axis calibration enabled.", "Calibrazione ad assi ortogonali attivata."},
            {"Tilted axis calibration enabled.", "Calibrazione ad assi inclinati attivata."},
            {"First reference acquired; move the mouse or use arrow keys, then click or press Enter to "
             "confirm.",
             "Primo riferimento acquisito; muovi il mouse o usa i tasti freccia, poi fai clic o premi Invio "
             "per confermare."},
            {"Point selected. Drag, use arrow keys, edit values, or press Del to delete it.",
             "Punto selezionato. Trascinalo, usa i tasti freccia, modifica i valori o premi Canc per "
             "eliminarlo."},
            {"Point added to the active curve.", "Punto aggiunto alla curva attiva."},
            {"Point deleted.", "Punto eliminato."},
            {"Calibration point selection cancelled.", "Selezione del punto di calibrazione annullata."},
            {"First calibration point moved with keyboard. Select the second point to confirm the axis.",
             "Primo punto di calibrazione spostato con la tastiera. Seleziona il secondo punto per "
             "confermare l'asse."},
            {"Point moved with keyboard.", "Punto spostato con la tastiera."},

            // Program information and the update check
            {"Program information", "Informazioni sul programma"},
            {"Program name:", "Nome del programma:"},
            {"Installed version:", "Versione installata:"},
            {"Online version:", "Versione online:"},
            {"Compilation year:", "Anno di compilazione:"},
            {"Website:", "Sito web:"},
            {"Suggestions:", "Suggerimenti:"},
            {"Version:", "Versione:"},
            {"Status:", "Stato:"},
            {"Language:", "Lingua:"},
            {"Checking online version...", "Verifica della versione online..."},
            {"Checking...", "Verifica..."},
            {"Update", "Aggiorna"},
            {"Update available", "Aggiornamento disponibile"},
            {"A new version %1 is available. Download and install it now?",
             "Disponibile la nuova versione %1. Scaricarla e installarla ora?"},
            {"You are using the latest version.", "Stai usando la versione piu recente."},
            {"Could not check for updates.", "Impossibile verificare la presenza di aggiornamenti."},
            {"Downloading update...", "Download dell'aggiornamento in corso..."},
            {"The downloaded installer is damaged (checksum mismatch) and was deleted.",
             "Eliminato il programma di installazione scaricato: risultava danneggiato (checksum non "
             "corrispondente)."},
            {"Could not download the update.", "Impossibile scaricare l'aggiornamento."},
            {"Could not start the installer.", "Impossibile avviare il programma di installazione."},

            // Regenerated graph window
            {"Regenerated graph", "Grafico rigenerato"},
            {"View", "Vista"},
            {"Zoom in", "Ingrandisci"},
            {"Zoom out", "Riduci"},
            {"Fit", "Adatta"},
            {"Graph settings", "Impostazioni del grafico"},
            {"Title", "Titolo"},
            {"X axis", "Asse X"},
            {"Y axis", "Asse Y"},
            {"Show title", "Mostra titolo"},
            {"Show original blueprint", "Mostra l'immagine originale"},
            {"Blueprint opacity", "Opacita dell'immagine originale"},
            {"Regenerated graph opacity", "Opacita del grafico rigenerato"},
            {"Axis limits", "Limiti degli assi"},
            {"X min", "X minimo"},
            {"X max", "X massimo"},
            {"Y min", "Y minimo"},
            {"Y max", "Y massimo"},
            {"X logarithmic", "X logaritmico"},
            {"Y logarithmic", "Y logaritmico"},
            {"Auto-scale axes", "Scala automatica degli assi"},
            {"Show grid", "Mostra griglia"},
            {"Grid divisions", "Divisioni della griglia"},
            {"Lock proportions", "Blocca proporzioni"},
            {"Keep width and height proportional when one value changes.",
             "Mantiene larghezza e altezza proporzionali quando cambia uno dei due valori."},
            {"Output size", "Dimensioni di output"},
            {"Width cm", "Larghezza cm"},
            {"Height cm", "Altezza cm"},
            {"Export DPI", "DPI di esportazione"},
            {"Axis decimals", "Decimali degli assi"},
            {"At %1 DPI: %2 x %3 px. Increase cm or DPI for more JPG detail.",
             "A %1 DPI: %2 x %3 px. Aumenta i cm o i DPI per un JPG piu dettagliato."},
            {"Text and fonts", "Testo e caratteri"},
            {"Text font...", "Carattere del testo..."},
            {"Axis value font...", "Carattere dei valori degli assi..."},
            {"Axis value font", "Carattere dei valori degli assi"},
            {"Select the title or a label in the regenerated graph first.",
             "Seleziona prima il titolo o un'etichetta nel grafico rigenerato."},
            {"Curve style", "Stile delle curve"},
            {"Curve", "Curva"},
            {"Color", "Colore"},
            {"Width", "Spessore"},
            {"Labels", "Etichette"},
            {"Text", "Testo"},
            {"Font", "Carattere"},
            {"Angle", "Angolo"},
            {"Label %1", "Etichetta %1"},
            {"Exports", "Esportazioni"},
            {"Export PDF", "Esporta PDF"},
            {"Export JPG", "Esporta JPG"},

            // Regenerated graph exports
            {"Export graph PDF", "Esporta grafico in PDF"},
            {"Export graph JPG", "Esporta grafico in JPG"},
            {"Export graph SVG", "Esporta grafico in SVG"},
            {"Export graph Excel", "Esporta grafico in Excel"},
            {"Could not save the PDF.", "Impossibile salvare il PDF."},
            {"Could not save the JPG.", "Impossibile salvare il JPG."},
            {"Could not save the SVG.", "Impossibile salvare l'SVG."},
            {"Invalid axes. For logarithmic scale, minimum values must be > 0.",
             "Assi non validi. Con la scala logaritmica i valori minimi devono essere > 0."},

            // Tool tips of the main window's commands
            {"Open a picture or a PDF page to digitize.",
             "Apri un'immagine o una pagina PDF da digitalizzare."},
            {"Close the project and start again with an empty one.",
             "Chiudi il progetto e ricomincia con uno vuoto."},
            {"Save the project to its database.", "Salva il progetto nel suo database."},
            {"Open a project stored in a Plotmason database.",
             "Apri un progetto salvato in un database Plotmason."},
            {"Store the project under a name in a Plotmason database.",
             "Salva il progetto con un nome in un database Plotmason."},
            {"Write the points of all curves to a CSV file.",
             "Scrivi i punti di tutte le curve in un file CSV."},
            {"Write the curves as SVG polylines.", "Scrivi le curve come polilinee SVG."},
            {"Write the curves to an Excel workbook.", "Scrivi le curve in una cartella di lavoro Excel."},
            {"Close Plotmason.", "Esci da Plotmason."},
            {"Redraw the digitized curves as a clean plot.",
             "Ridisegna le curve digitalizzate come un grafico pulito."},
            {"Remove the point added last.", "Rimuovi l'ultimo punto aggiunto."},
            {"Click to add, select and drag points of the active curve.",
             "Fai clic per aggiungere, selezionare e trascinare i punti della curva attiva."},
            {"Mark two points on the X axis and give its maximum value.",
             "Segna due punti sull'asse X e indicane il valore massimo."},
            {"Mark two points on the Y axis and give its maximum value.",
             "Segna due punti sull'asse Y e indicane il valore massimo."},
            {"Delete the selected point.", "Elimina il punto selezionato."},
            {"Show or hide the source picture.", "Mostra o nascondi l'immagine sorgente."},
            {"Show or hide the calibrated axes.", "Mostra o nascondi gli assi calibrati."},
            {"Show or hide the curves and their points.", "Mostra o nascondi le curve e i loro punti."},
            {"Page of the PDF to digitize.", "Pagina del PDF da digitalizzare."},
            {"Resolution at which PDF pages are rendered.",
             "Risoluzione con cui vengono rese le pagine PDF."},
            {"Add a new curve.", "Aggiungi una nuova curva."},
            {"Remove the selected curve.", "Rimuovi la curva selezionata."},
            {"Show the program version and the contact links.",
             "Mostra la versione del programma e i contatti."},
            {"Choose the language of the interface.", "Scegli la lingua dell'interfaccia."},
            {"Open a project used recently.", "Apri un progetto usato di recente."},
            {"Double-click a name, parameter or value to edit it.",
             "Fai doppio clic su un nome, un parametro o un valore per modificarlo."},
            {"Double-click x or y to type the real coordinates of a point.",
             "Fai doppio clic su x o y per digitare le coordinate reali di un punto."},

            // Tool tips of the regenerated graph window
            {"Fit the whole graph into the view.", "Adatta l'intero grafico alla vista."},
            {"Draw the source picture under the plot.", "Disegna l'immagine sorgente sotto il grafico."},
            {"Opacity of the source picture under the plot.",
             "Opacita dell'immagine sorgente sotto il grafico."},
            {"Opacity of the redrawn curves, grid and texts.",
             "Opacita di curve, griglia e testi ridisegnati."},
            {"Number of grid divisions and tick values on each axis.",
             "Numero di divisioni della griglia e di valori su ogni asse."},
            {"Decimals of the tick values.", "Decimali dei valori sugli assi."},
            {"Resolution of the exported pictures.", "Risoluzione delle immagini esportate."},
            {"Font of the selected title or label.", "Carattere del titolo o dell'etichetta selezionati."},
            {"Font of the tick values.", "Carattere dei valori sugli assi."},
            {"Add a text label to the graph.", "Aggiungi un'etichetta di testo al grafico."},
            {"Remove the selected label.", "Rimuovi l'etichetta selezionata."},
            {"Save the graph as a PDF page.", "Salva il grafico come pagina PDF."},
            {"Save the graph as a JPG picture.", "Salva il grafico come immagine JPG."},
            {"Save the graph as an SVG drawing.", "Salva il grafico come disegno SVG."},
            {"Drag the title and the labels to move them; the wheel zooms, the middle button pans.",
             "Trascina il titolo e le etichette per spostarli; la rotellina ingrandisce, il tasto centrale "
             "sposta la vista."},
            {"Double-click a colour to change it.", "Fai doppio clic su un colore per cambiarlo."},
            {"Line width in pixels.", "Spessore della linea in pixel."},
            {"Rotation in degrees.", "Rotazione in gradi."},

            // Choosers of the regenerated graph window
            {"Curve color", "Colore della curva"},
            {"Label color", "Colore dell'etichetta"},
            {"Label font", "Carattere dell'etichetta"},
            {"Text font", "Carattere del testo"},
            {"Title font", "Carattere del titolo"},
            {"New label", "Nuova etichetta"},

            // Update check, further texts
            {"Update check", "Verifica aggiornamenti"},
            {"Checking for updates...", "Verifica degli aggiornamenti in corso..."},
            {"Not available", "Non disponibile"},
            {"Download", "Scarica"},
            {"Later", "Piu tardi"},
            {"Downloaded %1 of %2 KB.", "Scaricati %1 di %2 KB."},
            {"Version %1 is available.", "Disponibile la versione %1."},
            {"The installer is starting; Plotmason will now close.",
             "Avvio del programma di installazione: Plotmason ora si chiude."},
            {"Open the website in the browser.", "Apri il sito web nel browser."},
            {"Write an e-mail with your suggestions.", "Scrivi un'e-mail con i tuoi suggerimenti."},

            // Column tool tips of the curves and points tables
            {"Name of the curve.", "Nome della curva."},
            {"Name of the parameter that tells the curves of a family apart.",
             "Nome del parametro che distingue le curve di una famiglia."},
            {"Parameter value of this curve.", "Valore del parametro per questa curva."},
            {"Show the curve in the view.", "Mostra la curva nella vista."},
            {"Number of points of the curve.", "Numero di punti della curva."},
            {"Real coordinates in axis units.", "Coordinate reali nelle unita degli assi."},
            {"Position in pixels on the source picture.", "Posizione in pixel sull'immagine sorgente."},

            // Status texts after commands of the main window
            {"Project opened from database.", "Progetto aperto dal database."},
            {"CSV file exported.", "File CSV esportato."},
            {"SVG file exported.", "File SVG esportato."},
            {"Excel workbook exported.", "Cartella di lavoro Excel esportata."},
            {"Source loaded.", "Sorgente caricata."},
            {"Recent files cleared.", "Elenco dei file recenti cancellato."},
            {"Curve added.", "Curva aggiunta."},
            {"Curve removed.", "Curva rimossa."},
            {"Select a curve first.", "Seleziona prima una curva."},
            {"The values must be numbers.", "I valori devono essere numeri."},
            {"The file of this recent project no longer exists.",
             "Il file di questo progetto recente non esiste piu."},
            {"X axis calibrated.", "Asse X calibrato."},
            {"Y axis calibrated.", "Asse Y calibrato."},
            {"Axes re-anchored at the graph origin.", "Assi riancorati all'origine del grafico."},

            // Control tool tips of the regenerated graph window
            {"Enlarge the graph.", "Ingrandisci il grafico."},
            {"Shrink the graph.", "Riduci il grafico."},
            {"Text of the graph title.", "Testo del titolo del grafico."},
            {"Label of the X axis.", "Etichetta dell'asse X."},
            {"Label of the Y axis.", "Etichetta dell'asse Y."},
            {"Draw the title above the plot.", "Disegna il titolo sopra il grafico."},
            {"Smallest value of the X axis.", "Valore minimo dell'asse X."},
            {"Largest value of the X axis.", "Valore massimo dell'asse X."},
            {"Smallest value of the Y axis.", "Valore minimo dell'asse Y."},
            {"Largest value of the Y axis.", "Valore massimo dell'asse Y."},
            {"Use a logarithmic scale on the X axis.", "Usa una scala logaritmica sull'asse X."},
            {"Use a logarithmic scale on the Y axis.", "Usa una scala logaritmica sull'asse Y."},
            {"Draw grid lines inside the plot.", "Disegna le linee della griglia nel grafico."},
            {"Width of the exported graph in centimetres.", "Larghezza del grafico esportato in centimetri."},
            {"Height of the exported graph in centimetres.", "Altezza del grafico esportato in centimetri."},
            {"Show the curve in the regenerated graph.", "Mostra la curva nel grafico rigenerato."},
            {"Show the label in the graph.", "Mostra l'etichetta nel grafico."},
            {"Text of the label.", "Testo dell'etichetta."},
            {"Double-click to choose the font.", "Fai doppio clic per scegliere il carattere."},
            {"Write the curves, resampled on their splines, to an Excel workbook.",
             "Scrivi le curve, ricampionate sulle loro spline, in una cartella di lavoro Excel."},

            // Status texts of the regenerated graph window
            {"Graph exported as PDF.", "Grafico esportato in PDF."},
            {"Graph exported as JPG.", "Grafico esportato in JPG."},
            {"Graph exported as SVG.", "Grafico esportato in SVG."},
            {"No curve has points to draw.", "Nessuna curva ha punti da disegnare."},
            {"Label added.", "Etichetta aggiunta."},
            {"Label removed.", "Etichetta rimossa."},
            {"Select a label first.", "Seleziona prima un'etichetta."},

            // Update check and downloads, further texts
            {"No update is available.", "Nessun aggiornamento disponibile."},
            {"The update service did not answer.", "Il servizio di aggiornamento non ha risposto."},
            {"Download and install", "Scarica e installa"},
            {"Install update", "Installa aggiornamento"},
            {"Checksum verified. Starting the installer...",
             "Checksum verificato. Avvio del programma di installazione..."},
            {"Verifying the download...", "Verifica del file scaricato..."},
            {"Download cancelled.", "Download annullato."},
            {"Retry", "Riprova"},
            {"Open website", "Apri sito web"},
            {"Send suggestions", "Invia suggerimenti"},
            {"Could not open the link.", "Impossibile aprire il collegamento."},

            // Calibration values
            {"Value at first mark", "Valore al primo segno"},
            {"Value at second mark", "Valore al secondo segno"},
            {"Logarithmic scale", "Scala logaritmica"},
            {"Type a number at each mark, for example 2.5 or 1e-3.",
             "Inserire un numero per ogni segno, ad esempio 2,5 o 1e-3."},
            {"The two values must differ.", "I due valori devono essere diversi."},
            {"A logarithmic axis needs values greater than zero.",
             "Un asse logaritmico richiede valori maggiori di zero."},

            // Calibration check
            {"Grid", "Griglia"},
            {"Draw the calibrated grid over the picture: on a good calibration it lies on the chart's grid.",
             "Disegna la griglia calibrata sull'immagine: con una buona calibrazione coincide con la griglia "
             "del grafico."},
            {"The picture looks tilted by %1 degrees. Turn off \"Orthogonal axes\" to calibrate along its "
             "axes.",
             "L'immagine sembra inclinata di %1 gradi. Disattivare \"Assi ortogonali\" per calibrare lungo i "
             "suoi assi."},

            // Curve extraction
            {"Load a picture before extracting a curve.",
             "Caricare un'immagine prima di estrarre una curva."},
            {"The clicked point is outside the plot area.",
             "Il punto cliccato e fuori dall'area del grafico."},
            {"No curve at the clicked point: click on the curve's ink.",
             "Nessuna curva nel punto cliccato: cliccare sul tratto della curva."},
            {"Nothing like the clicked curve was found.",
             "Non e stato trovato nulla di simile alla curva cliccata."},

            // Automatic extraction in the window
            {"Automatic extraction", "Estrazione automatica"},
            {"Trace curve", "Traccia curva"},
            {"Find markers", "Trova marcatori"},
            {"Click on a curve's line to find its points automatically.",
             "Fare clic sulla linea di una curva per trovarne i punti automaticamente."},
            {"Click on one marker to find every marker like it.",
             "Fare clic su un marcatore per trovare tutti quelli simili."},
            {"Click on a curve's line to trace it. Shift+drag: search only inside a rectangle. Enter: add "
             "the points. "
             "Esc: cancel.",
             "Fare clic sulla linea di una curva per tracciarla. Maiusc+trascina: cerca solo in un"
             " rettangolo. Invio: aggiunge i punti. Esc: annulla."},
            {"Click on one marker to find all like it. Shift+drag: search only inside a rectangle. Enter: "
             "add the points. "
             "Esc: cancel.",
             "Fare clic su un marcatore per trovare tutti quelli simili. Maiusc+trascina: cerca solo in"
             " un rettangolo. Invio: aggiunge i punti. Esc: annulla."},
            {"Colour tolerance", "Tolleranza colore"},
            {"At the far left the tolerance follows the contrast of the picked colour.",
             "All'estrema sinistra la tolleranza segue il contrasto del colore scelto."},
            {"Keep the shape", "Mantieni la forma"},
            {"N points evenly in x", "N punti equidistanti in x"},
            {"Every dx in axis units", "Ogni dx in unita dell'asse"},
            {"Add to", "Aggiungi a"},
            {"Active curve", "Curva attiva"},
            {"New curve", "Nuova curva"},
            {"Accept", "Accetta"},
            {"%1 points found.", "%1 punti trovati."},
            {"Click on the curve in the picture.", "Fare clic sulla curva nell'immagine."},

            // Picking from the drawing of a PDF page
            {"Pick from PDF", "Preleva dal PDF"},
            {"Points along each curved segment", "Punti lungo ogni tratto curvo"},
            {"Click on a line drawn in a vector PDF to add its exact points.",
             "Fare clic su una linea disegnata in un PDF vettoriale per aggiungerne i punti esatti."},
            {"Point at a line drawn in the PDF and click to add its exact points to the active curve.",
             "Puntare una linea disegnata nel PDF e fare clic per aggiungerne i punti esatti alla curva "
             "attiva."},
            {"Pick from PDF reads the drawing of a PDF page; this picture is not a PDF.",
             "Preleva dal PDF legge il disegno di una pagina PDF; questa immagine non e un PDF."},
            {"No drawn line passes here: point at a line until it lights up.",
             "Nessuna linea disegnata passa qui: puntare una linea finche non si illumina."},
            {"%1 points of the PDF drawing added to %2.", "%1 punti del disegno PDF aggiunti a %2."},

            // Regenerated graph: smoothing, legend and sizes
            {"The graph is too small to draw: make it at least %1 x %2 cm.",
             "Il grafico e troppo piccolo da disegnare: renderlo almeno di %1 x %2 cm."},
            {"Show legend", "Mostra legenda"},
            {"Draw a legend of the curves; drag it to move it.",
             "Disegna una legenda delle curve; trascinarla per spostarla."},
            {"Curve smoothing", "Smussatura curve"},
            {"Shape-preserving", "Conserva la forma"},
            {"Straight lines", "Linee rette"},
            {"How curves run between their points; shape-preserving curves never overshoot.",
             "Come le curve passano tra i loro punti; le curve che conservano la forma non oltrepassano mai "
             "i punti."},
            {"Axis limits computed from the digitized points and the calibration.",
             "Limiti degli assi calcolati dai punti digitalizzati e dalla calibrazione."},
            {"Compute the axis limits from the digitized points and the calibration.",
             "Calcola i limiti degli assi dai punti digitalizzati e dalla calibrazione."},
            {"At this DPI a JPG can be at most %1 cm on a side.",
             "A questi DPI un JPG puo misurare al massimo %1 cm per lato."},
            {"The JPG would be %1 x %2 px, but a JPG can be at most %3 px on a side. Lower the size or the "
             "DPI.",
             "Il JPG sarebbe di %1 x %2 px, ma un JPG puo avere al massimo %3 px per lato. Ridurre le "
             "dimensioni o i DPI."},
            {"The JPG would need %1 MB of memory, more than the %2 MB allowed. Lower the size or the DPI.",
             "Il JPG richiederebbe %1 MB di memoria, piu dei %2 MB consentiti. Ridurre le dimensioni o i "
             "DPI."},

            // Undo history: commands and step names
            {"Undo", "Annulla"},
            {"Redo", "Ripeti"},
            {"Show layers", "Mostra livelli"},
            {"Change page", "Cambia pagina"},
            {"Change resolution", "Cambia risoluzione"},
            {"Choose curve", "Scegli curva"},
            {"Edit curve", "Modifica curva"},
            {"Replace picture", "Sostituisci immagine"},
            {"Calibrate X axis", "Calibra asse X"},
            {"Calibrate Y axis", "Calibra asse Y"},
            {"Add point", "Aggiungi punto"},
            {"Add points", "Aggiungi punti"},
            {"Add curve", "Aggiungi curva"},
            {"Show curve", "Mostra curva"},
            {"Hide curve", "Nascondi curva"},
            {"Change curve style", "Cambia stile curva"},
            {"Move point", "Sposta punto"},
            {"Move points", "Sposta punti"},
            {"Edit point value", "Modifica valore punto"},
            {"Delete points", "Elimina punti"},
            {"Clear points", "Cancella punti"},

            // Undo history: many points at once
            {"%1 points selected.", "%1 punti selezionati."},

            // Project files, paste and drop, zoom
            {"Open project...", "Apri progetto..."},
            {"Save project as...", "Salva progetto come..."},
            {"Save project as", "Salva progetto come"},
            {"Plotmason project (*.pmproj)", "Progetto Plotmason (*.pmproj)"},
            {"The picture could not be written to %1.", "Impossibile scrivere l'immagine in %1."},
            {"Project saved.", "Progetto salvato."},
            {"Project opened.", "Progetto aperto."},
            {"&View", "&Visualizza"},
            {"Fit to window", "Adatta alla finestra"},
            {"Actual size", "Dimensione reale"},
            {"Paste picture", "Incolla immagine"},
            {"Drop an image or PDF here, paste one with Ctrl+V, or use Import source...",
             "Trascina qui un'immagine o un PDF, incollane uno con Ctrl+V oppure usa Importa sorgente..."},
            {"The clipboard holds no picture.", "Gli appunti non contengono un'immagine."},

            // Curve colours
            {"Color...", "Colore..."},

            // Loupe and keyboard
            {"Loupe", "Lente"},
            {"Next curve", "Curva successiva"},
            {"Previous curve", "Curva precedente"},

            // Projects whose picture is missing or differs
            {"Project opened without its picture.", "Progetto aperto senza la sua immagine."},
            {"The picture of this project could not be read (%1). The points and the calibration are kept; "
             "choose the picture with \"Replace picture...\".",
             "Impossibile leggere l'immagine di questo progetto (%1). I punti e la calibrazione restano; "
             "scegli l'immagine con \"Sostituisci immagine...\"."},
            {"The picture stored with the project is shown, as the file %1 differs from it. To use the file "
             "instead, choose it with \"Replace picture...\".",
             "Viene mostrata l'immagine salvata con il progetto, perche' il file %1 e' diverso. Per usare il "
             "file, sceglilo con \"Sostituisci immagine...\"."},
        },
        // Texts that read the same as in English and so need no pair.
        {"DPI:", "pixel", "OK", "No", "Zoom: %1%", "x = %1   y = %2", "Spline"},
    };
    return texts;
}

} // namespace i18n::detail
