#include "i18n/translations.h"

namespace i18n::detail {

// Spanish interface texts. Questions open without the inverted mark, which is not ASCII.
// Translations are plain ASCII (accents are dropped) and keep every %1..%9 in order.
const LanguageTexts &spanishTexts()
{
    static const LanguageTexts texts{
        {
            // Menu titles (they carry their accelerator)
            {"File", "&Archivo"},
            {"Graph", "&Grafico"},
            {"Edit", "&Editar"},
            {"Language", "&Idioma"},
            {"Info", "In&formacion"},

            // File menu
            {"Import source...", "Importar origen..."},
            {"Replace picture...", "Sustituir imagen..."},
            {"Close project", "Cerrar proyecto"},
            {"Recent files", "Archivos recientes"},
            {"No recent files", "No hay archivos recientes"},
            {"Clear recent files", "Borrar lista de recientes"},
            {"Save", "Guardar"},
            {"Open from database...", "Abrir desde base de datos..."},
            {"Save to database...", "Guardar en base de datos..."},
            {"A project named \"%1\" already exists in this database. Replace it?",
             "Ya existe un proyecto llamado \"%1\" en esta base de datos. Sustituirlo?"},
            {"Export CSV...", "Exportar CSV..."},
            {"Export SVG...", "Exportar SVG..."},
            {"Export Excel...", "Exportar a Excel..."},
            {"Exit", "Salir"},

            // Graph, Edit and Info menus
            {"Regenerated graph...", "Grafico regenerado..."},
            {"Undo last point", "Deshacer ultimo punto"},
            {"Program information...", "Informacion del programa..."},

            // Tool bar
            {"Tools", "Herramientas"},
            {"Graph points", "Puntos del grafico"},
            {"Calibrate X", "Calibrar X"},
            {"Calibrate Y", "Calibrar Y"},
            {"Orthogonal axes", "Ejes ortogonales"},
            {"Keep calibration axes horizontal and vertical. Turn this off only for tilted source images.",
             "Mantiene los ejes de calibracion en horizontal y vertical. Desactivalo solo para imagenes de "
             "origen inclinadas."},
            {"Delete point", "Eliminar punto"},
            {"Source", "Origen"},
            {"Axes", "Ejes"},
            {"Visible points", "Puntos visibles"},
            {"Page:", "Pagina:"},
            {"DPI:", "PPP:"},

            // Curves dock
            {"Curves", "Curvas"},
            {"Active curve points", "Puntos de la curva activa"},
            {"Add", "Anadir"},
            {"Remove", "Eliminar"},
            {"Name", "Nombre"},
            {"Parameter", "Parametro"},
            {"Value", "Valor"},
            {"Points", "Puntos"},
            {"Remove the selected curve and all its points?",
             "Eliminar la curva seleccionada y todos sus puntos?"},
            {"Remove curve", "Eliminar curva"},

            // Status bar of the main window
            {"Import an image or PDF to begin.", "Importa una imagen o un PDF para empezar."},
            {"Calibration complete. Point mode is active.",
             "Calibracion completa. El modo de puntos esta activo."},
            {"Calibration required: calibrate the Y axis.", "Calibracion necesaria: calibra el eje Y."},
            {"Calibration required: calibrate the X axis first.",
             "Calibracion necesaria: calibra primero el eje X."},
            {"Last inserted point undone.", "Se ha deshecho el ultimo punto insertado."},
            {"There is no point insertion to undo.", "No hay ninguna insercion de punto que deshacer."},
            {"Project closed.", "Proyecto cerrado."},
            {"Project saved to database.", "Proyecto guardado en la base de datos."},
            {"Database ready for the current project.", "Base de datos lista para el proyecto actual."},

            // Dialogs of the main window
            {"Import graph", "Importar grafico"},
            {"Plotmason database (*.pmdb *.sqlite)", "Base de datos de Plotmason (*.pmdb *.sqlite)"},
            {"All files (*.*)", "Todos los archivos (*.*)"},
            {"Project name", "Nombre del proyecto"},
            {"Project name in database:", "Nombre del proyecto en la base de datos:"},
            {"Project", "Proyecto"},
            {"Open Plotmason database", "Abrir base de datos de Plotmason"},
            {"Open project", "Abrir proyecto"},
            {"Project:", "Proyecto:"},
            {"No Plotmason projects found in this database. Use it for the current project?",
             "No se ha encontrado ningun proyecto de Plotmason en esta base de datos. Usarla para el "
             "proyecto actual?"},
            {"Calibration", "Calibracion"},
            // Importing from a PDF page's drawing
            {"The project's source is not a PDF.", "La fuente del proyecto no es un PDF."},
            {"This PDF page holds no vector drawing.", "Esta pagina PDF no contiene dibujos vectoriales."},
            {"No drawn path passes near %1, %2 on the PDF page.",
             "Ningun trazado dibujado pasa cerca de %1, %2 en la pagina PDF."},
            {"Complete X and Y axis calibration before adding points or exporting.",
             "Completa la calibracion de los ejes X e Y antes de anadir puntos o exportar."},
            {"Complete X and Y axis calibration before using the regenerated graph.",
             "Completa la calibracion de los ejes X e Y antes de usar el grafico regenerado."},
            {"Export CSV", "Exportar CSV"},
            {"Export SVG", "Exportar SVG"},
            {"Export Excel", "Exportar a Excel"},
            {"How many points should be generated for each curve? If the number is greater than the acquired "
             "points, they will be interpolated on the spline.",
             "Cuantos puntos se deben generar para cada curva? Si el numero supera el de puntos adquiridos, "
             "se interpolaran sobre la spline."},
            {"Excel workbook (*.xlsx)", "Libro de Excel (*.xlsx)"},
            {"Save changes", "Guardar cambios"},
            {"The project has unsaved changes. Save them before continuing?",
             "El proyecto tiene cambios sin guardar. Guardarlos antes de continuar?"},
            {"Discard", "Descartar"},
            {"Cancel", "Cancelar"},
            {"OK", "Aceptar"},
            {"Yes", "Si"},
            {"Close", "Cerrar"},

            // Calibration values
            {"The X and Y axis lines must intersect at the graph origin. Extend or recalibrate the axis that "
             "does not reach zero.",
             "Las lineas de los ejes X e Y deben cortarse en el origen del grafico. Prolonga o vuelve a "
             "calibrar el eje que no llega a cero."},
            {"The axis origin is too close to an axis endpoint. Select a longer calibration segment.",
             "El origen de los ejes esta demasiado cerca del extremo de un eje. Selecciona un segmento de "
             "calibracion mas largo."},

            // Digitizing view
            {"Click: add a point or select one of the active curve. Ctrl+click: select a point of any curve. "
             "Drag: move point. Shift+drag: select points. Del: delete. Ctrl+Z: undo. Wheel: zoom. Middle "
             "click: pan."
             " Ctrl+PgDn/PgUp: next/previous curve.",
             "Clic: anadir un punto o seleccionar uno de la curva activa. Ctrl+clic: seleccionar un punto de "
             "cualquier curva. Arrastrar: mover punto. Mayus+arrastrar: seleccionar puntos. Supr: eliminar. "
             "Ctrl+Z: deshacer. Rueda: zoom. Clic central: desplazar."
             " Ctrl+AvPag/RePag: curva siguiente/anterior."},
            {"Select two points on the axis. Orthogonal mode keeps X horizontal and Y vertical.",
             "Selecciona dos puntos del eje. El modo ortogonal mantiene X horizontal e Y vertical."},
            {"Select two points on the axis. Tilted axes are allowed.",
             "Selecciona dos puntos del eje. Se admiten ejes inclinados."},
            {"Orthogonal axis calibration enabled.", "Calibracion con ejes ortogonales activada."},
            {"Tilted axis calibration enabled.", "Calibracion con ejes inclinados activada."},
            {"First reference acquired; move the mouse or use arrow keys, then click or press Enter to "
             "confirm.",
             "Primera referencia adquirida; mueve el raton o usa las flechas y luego haz clic o pulsa Intro "
             "para confirmar."},
            {"Point selected. Drag, use arrow keys, edit values, or press Del to delete it.",
             "Punto seleccionado. Arrastralo, usa las flechas, edita los valores o pulsa Supr para "
             "eliminarlo."},
            {"Point added to the active curve.", "Punto anadido a la curva activa."},
            {"Point deleted.", "Punto eliminado."},
            {"Calibration point selection cancelled.", "Seleccion del punto de calibracion cancelada."},
            {"First calibration point moved with keyboard. Select the second point to confirm the axis.",
             "Primer punto de calibracion movido con el teclado. Selecciona el segundo punto para confirmar "
             "el eje."},
            {"Point moved with keyboard.", "Punto movido con el teclado."},

            // Program information and the update check
            {"Program information", "Informacion del programa"},
            {"Program name:", "Nombre del programa:"},
            {"Installed version:", "Version instalada:"},
            {"Online version:", "Version en linea:"},
            {"Compilation year:", "Compilacion:"},
            {"Website:", "Sitio web:"},
            {"Suggestions:", "Sugerencias:"},
            {"Status:", "Estado:"},
            {"Language:", "Idioma:"},
            {"Checking online version...", "Comprobando la version en linea..."},
            {"Checking...", "Comprobando..."},
            {"Update", "Actualizar"},
            {"Update available", "Actualizacion disponible"},
            {"A new version %1 is available. Download and install it now?",
             "Hay una nueva version %1 disponible. Descargarla e instalarla ahora?"},
            {"You are using the latest version.", "Estas usando la version mas reciente."},
            {"Could not check for updates.", "No se han podido buscar actualizaciones."},
            {"Downloading update...", "Descargando la actualizacion..."},
            {"The downloaded installer is damaged (checksum mismatch) and was deleted.",
             "El instalador descargado estaba danado (la suma de comprobacion no coincide) y se ha "
             "eliminado."},
            {"Could not download the update.", "No se ha podido descargar la actualizacion."},
            {"Could not start the installer.", "No se ha podido iniciar el instalador."},

            // Regenerated graph window
            {"Regenerated graph", "Grafico regenerado"},
            {"View", "Vista"},
            {"Zoom in", "Acercar"},
            {"Zoom out", "Alejar"},
            {"Fit", "Ajustar"},
            {"Graph settings", "Ajustes del grafico"},
            {"Title", "Titulo"},
            {"X axis", "Eje X"},
            {"Y axis", "Eje Y"},
            {"Show title", "Mostrar titulo"},
            {"Show original blueprint", "Mostrar la imagen original"},
            {"Blueprint opacity", "Opacidad de la imagen original"},
            {"Regenerated graph opacity", "Opacidad del grafico regenerado"},
            {"Axis limits", "Limites de los ejes"},
            {"X min", "X minimo"},
            {"X max", "X maximo"},
            {"Y min", "Y minimo"},
            {"Y max", "Y maximo"},
            {"X logarithmic", "X logaritmico"},
            {"Y logarithmic", "Y logaritmico"},
            {"Auto-scale axes", "Escalar ejes automaticamente"},
            {"Show grid", "Mostrar cuadricula"},
            {"Grid divisions", "Divisiones de la cuadricula"},
            {"Lock proportions", "Bloquear proporciones"},
            {"Keep width and height proportional when one value changes.",
             "Mantiene el ancho y el alto proporcionales cuando cambia uno de los valores."},
            {"Output size", "Tamano de salida"},
            {"Width cm", "Ancho cm"},
            {"Height cm", "Alto cm"},
            {"Export DPI", "PPP de exportacion"},
            {"Axis decimals", "Decimales de los ejes"},
            {"At %1 DPI: %2 x %3 px. Increase cm or DPI for more JPG detail.",
             "A %1 PPP: %2 x %3 px. Aumenta los cm o los PPP para obtener un JPG con mas detalle."},
            {"Text and fonts", "Texto y fuentes"},
            {"Text font...", "Fuente del texto..."},
            {"Axis value font...", "Fuente de los valores de los ejes..."},
            {"Axis value font", "Fuente de los valores de los ejes"},
            {"Select the title or a label in the regenerated graph first.",
             "Selecciona primero el titulo o una etiqueta en el grafico regenerado."},
            {"Curve style", "Estilo de las curvas"},
            {"Curve", "Curva"},
            {"Width", "Grosor"},
            {"Labels", "Etiquetas"},
            {"Text", "Texto"},
            {"Font", "Fuente"},
            {"Angle", "Angulo"},
            {"Label %1", "Etiqueta %1"},
            {"Exports", "Exportaciones"},
            {"Export PDF", "Exportar PDF"},
            {"Export JPG", "Exportar JPG"},

            // Regenerated graph exports
            {"Export graph PDF", "Exportar grafico a PDF"},
            {"Export graph JPG", "Exportar grafico a JPG"},
            {"Export graph SVG", "Exportar grafico a SVG"},
            {"Export graph Excel", "Exportar grafico a Excel"},
            {"Could not save the PDF.", "No se ha podido guardar el PDF."},
            {"Could not save the JPG.", "No se ha podido guardar el JPG."},
            {"Could not save the SVG.", "No se ha podido guardar el SVG."},
            {"Invalid axes. For logarithmic scale, minimum values must be > 0.",
             "Ejes no validos. Con escala logaritmica, los valores minimos deben ser > 0."},

            // Tool tips of the main window's commands
            {"Open a picture or a PDF page to digitize.",
             "Abre una imagen o una pagina PDF para digitalizarla."},
            {"Close the project and start again with an empty one.",
             "Cierra el proyecto y empieza de nuevo con uno vacio."},
            {"Save the project to its database.", "Guarda el proyecto en su base de datos."},
            {"Open a project stored in a Plotmason database.",
             "Abre un proyecto guardado en una base de datos de Plotmason."},
            {"Store the project under a name in a Plotmason database.",
             "Guarda el proyecto con un nombre en una base de datos de Plotmason."},
            {"Write the points of all curves to a CSV file.",
             "Escribe los puntos de todas las curvas en un archivo CSV."},
            {"Write the curves as SVG polylines.", "Escribe las curvas como polilineas SVG."},
            {"Write the curves to an Excel workbook.", "Escribe las curvas en un libro de Excel."},
            {"Close Plotmason.", "Cierra Plotmason."},
            {"Redraw the digitized curves as a clean plot.",
             "Vuelve a dibujar las curvas digitalizadas como un grafico limpio."},
            {"Remove the point added last.", "Quita el ultimo punto anadido."},
            {"Click to add, select and drag points of the active curve.",
             "Haz clic para anadir, seleccionar y arrastrar puntos de la curva activa."},
            {"Mark two points on the X axis and give its maximum value.",
             "Marca dos puntos en el eje X e indica su valor maximo."},
            {"Mark two points on the Y axis and give its maximum value.",
             "Marca dos puntos en el eje Y e indica su valor maximo."},
            {"Delete the selected point.", "Elimina el punto seleccionado."},
            {"Show or hide the source picture.", "Muestra u oculta la imagen de origen."},
            {"Show or hide the calibrated axes.", "Muestra u oculta los ejes calibrados."},
            {"Show or hide the curves and their points.", "Muestra u oculta las curvas y sus puntos."},
            {"Page of the PDF to digitize.", "Pagina del PDF que se digitaliza."},
            {"Resolution at which PDF pages are rendered.",
             "Resolucion con la que se representan las paginas PDF."},
            {"Add a new curve.", "Anade una curva nueva."},
            {"Remove the selected curve.", "Elimina la curva seleccionada."},
            {"Show the program version and the contact links.",
             "Muestra la version del programa y los enlaces de contacto."},
            {"Choose the language of the interface.", "Elige el idioma de la interfaz."},
            {"Open a project used recently.", "Abre un proyecto usado recientemente."},
            {"Double-click a name, parameter or value to edit it.",
             "Haz doble clic en un nombre, parametro o valor para editarlo."},
            {"Double-click x or y to type the real coordinates of a point.",
             "Haz doble clic en x o y para escribir las coordenadas reales de un punto."},

            // Tool tips of the regenerated graph window
            {"Fit the whole graph into the view.", "Ajusta todo el grafico a la vista."},
            {"Draw the source picture under the plot.", "Dibuja la imagen de origen bajo el grafico."},
            {"Opacity of the source picture under the plot.",
             "Opacidad de la imagen de origen bajo el grafico."},
            {"Opacity of the redrawn curves, grid and texts.",
             "Opacidad de las curvas, la cuadricula y los textos redibujados."},
            {"Number of grid divisions and tick values on each axis.",
             "Numero de divisiones de la cuadricula y de valores en cada eje."},
            {"Decimals of the tick values.", "Decimales de los valores de los ejes."},
            {"Resolution of the exported pictures.", "Resolucion de las imagenes exportadas."},
            {"Font of the selected title or label.", "Fuente del titulo o la etiqueta seleccionados."},
            {"Font of the tick values.", "Fuente de los valores de los ejes."},
            {"Add a text label to the graph.", "Anade una etiqueta de texto al grafico."},
            {"Remove the selected label.", "Elimina la etiqueta seleccionada."},
            {"Save the graph as a PDF page.", "Guarda el grafico como pagina PDF."},
            {"Save the graph as a JPG picture.", "Guarda el grafico como imagen JPG."},
            {"Save the graph as an SVG drawing.", "Guarda el grafico como dibujo SVG."},
            {"Drag the title and the labels to move them; the wheel zooms, the middle button pans.",
             "Arrastra el titulo y las etiquetas para moverlos; la rueda hace zoom y el boton central "
             "desplaza la vista."},
            {"Double-click a colour to change it.", "Haz doble clic en un color para cambiarlo."},
            {"Line width in pixels.", "Grosor de la linea en pixeles."},
            {"Rotation in degrees.", "Rotacion en grados."},

            // Choosers of the regenerated graph window
            {"Curve color", "Color de la curva"},
            {"Label color", "Color de la etiqueta"},
            {"Label font", "Fuente de la etiqueta"},
            {"Text font", "Fuente del texto"},
            {"Title font", "Fuente del titulo"},
            {"New label", "Nueva etiqueta"},

            // Update check, further texts
            {"Update check", "Buscar actualizaciones"},
            {"Checking for updates...", "Buscando actualizaciones..."},
            {"Not available", "No disponible"},
            {"Download", "Descargar"},
            {"Later", "Mas tarde"},
            {"Downloaded %1 of %2 KB.", "Descargados %1 de %2 KB."},
            {"Version %1 is available.", "La version %1 esta disponible."},
            {"The installer is starting; Plotmason will now close.",
             "Se esta iniciando el instalador; Plotmason se cerrara ahora."},
            {"Open the website in the browser.", "Abre el sitio web en el navegador."},
            {"Write an e-mail with your suggestions.", "Escribe un correo electronico con tus sugerencias."},

            // Column tool tips of the curves and points tables
            {"Name of the curve.", "Nombre de la curva."},
            {"Name of the parameter that tells the curves of a family apart.",
             "Nombre del parametro que distingue las curvas de una familia."},
            {"Parameter value of this curve.", "Valor del parametro de esta curva."},
            {"Show the curve in the view.", "Muestra la curva en la vista."},
            {"Number of points of the curve.", "Numero de puntos de la curva."},
            {"Real coordinates in axis units.", "Coordenadas reales en unidades de los ejes."},
            {"Position in pixels on the source picture.", "Posicion en pixeles sobre la imagen de origen."},

            // Status texts after commands of the main window
            {"Project opened from database.", "Proyecto abierto desde la base de datos."},
            {"CSV file exported.", "Archivo CSV exportado."},
            {"SVG file exported.", "Archivo SVG exportado."},
            {"Excel workbook exported.", "Libro de Excel exportado."},
            {"Source loaded.", "Origen cargado."},
            {"Recent files cleared.", "Lista de archivos recientes borrada."},
            {"Curve added.", "Curva anadida."},
            {"Curve removed.", "Curva eliminada."},
            {"Select a curve first.", "Selecciona primero una curva."},
            {"The values must be numbers.", "Los valores deben ser numeros."},
            {"The file of this recent project no longer exists.",
             "El archivo de este proyecto reciente ya no existe."},
            {"X axis calibrated.", "Eje X calibrado."},
            {"Y axis calibrated.", "Eje Y calibrado."},
            {"Axes re-anchored at the graph origin.", "Ejes reanclados en el origen del grafico."},

            // Control tool tips of the regenerated graph window
            {"Enlarge the graph.", "Amplia el grafico."},
            {"Shrink the graph.", "Reduce el grafico."},
            {"Text of the graph title.", "Texto del titulo del grafico."},
            {"Label of the X axis.", "Rotulo del eje X."},
            {"Label of the Y axis.", "Rotulo del eje Y."},
            {"Draw the title above the plot.", "Dibuja el titulo sobre el grafico."},
            {"Smallest value of the X axis.", "Valor minimo del eje X."},
            {"Largest value of the X axis.", "Valor maximo del eje X."},
            {"Smallest value of the Y axis.", "Valor minimo del eje Y."},
            {"Largest value of the Y axis.", "Valor maximo del eje Y."},
            {"Use a logarithmic scale on the X axis.", "Usa una escala logaritmica en el eje X."},
            {"Use a logarithmic scale on the Y axis.", "Usa una escala logaritmica en el eje Y."},
            {"Draw grid lines inside the plot.", "Dibuja las lineas de la cuadricula dentro del grafico."},
            {"Width of the exported graph in centimetres.", "Ancho del grafico exportado en centimetros."},
            {"Height of the exported graph in centimetres.", "Alto del grafico exportado en centimetros."},
            {"Show the curve in the regenerated graph.", "Muestra la curva en el grafico regenerado."},
            {"Show the label in the graph.", "Muestra la etiqueta en el grafico."},
            {"Text of the label.", "Texto de la etiqueta."},
            {"Double-click to choose the font.", "Haz doble clic para elegir la fuente."},
            {"Write the curves, resampled on their splines, to an Excel workbook.",
             "Escribe las curvas, remuestreadas sobre sus splines, en un libro de Excel."},

            // Status texts of the regenerated graph window
            {"Graph exported as PDF.", "Grafico exportado a PDF."},
            {"Graph exported as JPG.", "Grafico exportado a JPG."},
            {"Graph exported as SVG.", "Grafico exportado a SVG."},
            {"No curve has points to draw.", "Ninguna curva tiene puntos que dibujar."},
            {"Label added.", "Etiqueta anadida."},
            {"Label removed.", "Etiqueta eliminada."},
            {"Select a label first.", "Selecciona primero una etiqueta."},

            // Update check and downloads, further texts
            {"No update is available.", "No hay ninguna actualizacion disponible."},
            {"The update service did not answer.", "El servicio de actualizaciones no ha respondido."},
            {"Download and install", "Descargar e instalar"},
            {"Install update", "Instalar actualizacion"},
            {"Checksum verified. Starting the installer...",
             "Suma de comprobacion verificada. Iniciando el instalador..."},
            {"Verifying the download...", "Verificando la descarga..."},
            {"Download cancelled.", "Descarga cancelada."},
            {"Retry", "Reintentar"},
            {"Open website", "Abrir sitio web"},
            {"Send suggestions", "Enviar sugerencias"},
            {"Could not open the link.", "No se ha podido abrir el enlace."},

            // Calibration values
            {"Value at first mark", "Valor en la primera marca"},
            {"Value at second mark", "Valor en la segunda marca"},
            {"Logarithmic scale", "Escala logaritmica"},
            {"Type a number at each mark, for example 2.5 or 1e-3.",
             "Escriba un numero en cada marca, por ejemplo 2,5 o 1e-3."},
            {"The two values must differ.", "Los dos valores deben ser distintos."},
            {"A logarithmic axis needs values greater than zero.",
             "Un eje logaritmico necesita valores mayores que cero."},

            // Calibration check
            {"Grid", "Cuadricula"},
            {"Draw the calibrated grid over the picture: on a good calibration it lies on the chart's grid.",
             "Dibuja la cuadricula calibrada sobre la imagen: con una buena calibracion coincide con la "
             "cuadricula del grafico."},
            {"The picture looks tilted by %1 degrees. Turn off \"Orthogonal axes\" to calibrate along its "
             "axes.",
             "La imagen parece inclinada %1 grados. Desactive \"Ejes ortogonales\" para calibrar a lo largo "
             "de sus ejes."},

            // Curve extraction
            {"Load a picture before extracting a curve.", "Cargue una imagen antes de extraer una curva."},
            {"The clicked point is outside the plot area.",
             "El punto pulsado esta fuera del area del grafico."},
            {"No curve at the clicked point: click on the curve's ink.",
             "No hay ninguna curva en el punto pulsado: pulse sobre el trazo de la curva."},
            {"Nothing like the clicked curve was found.",
             "No se ha encontrado nada parecido a la curva pulsada."},

            // Automatic extraction in the window
            {"Automatic extraction", "Extraccion automatica"},
            {"Trace curve", "Trazar curva"},
            {"Find markers", "Buscar marcadores"},
            {"Click on a curve's line to find its points automatically.",
             "Haga clic en la linea de una curva para encontrar sus puntos automaticamente."},
            {"Click on one marker to find every marker like it.",
             "Haga clic en un marcador para encontrar todos los marcadores parecidos."},
            {"Click on a curve's line to trace it. Shift+drag: search only inside a rectangle. Enter: add "
             "the points. "
             "Esc: cancel.",
             "Haga clic en la linea de una curva para trazarla. Mayus+arrastrar: buscar solo dentro de"
             " un rectangulo. Intro: anadir los puntos. Esc: cancelar."},
            {"Click on one marker to find all like it. Shift+drag: search only inside a rectangle. Enter: "
             "add the points. "
             "Esc: cancel.",
             "Haga clic en un marcador para encontrar todos los parecidos. Mayus+arrastrar: buscar solo"
             " dentro de un rectangulo. Intro: anadir los puntos. Esc: cancelar."},
            {"Colour tolerance", "Tolerancia de color"},
            {"At the far left the tolerance follows the contrast of the picked colour.",
             "En el extremo izquierdo la tolerancia sigue el contraste del color elegido."},
            {"Keep the shape", "Conservar la forma"},
            {"N points evenly in x", "N puntos equiespaciados en x"},
            {"Every dx in axis units", "Cada dx en unidades del eje"},
            {"Add to", "Anadir a"},
            {"Active curve", "Curva activa"},
            {"New curve", "Curva nueva"},
            {"Accept", "Aceptar"},
            {"%1 points found.", "%1 puntos encontrados."},
            {"Click on the curve in the picture.", "Haga clic en la curva de la imagen."},

            // Picking from the drawing of a PDF page
            {"Pick from PDF", "Tomar del PDF"},
            {"Points along each curved segment", "Puntos a lo largo de cada tramo curvo"},
            {"Click on a line drawn in a vector PDF to add its exact points.",
             "Haga clic en una linea dibujada en un PDF vectorial para anadir sus puntos exactos."},
            {"Point at a line drawn in the PDF and click to add its exact points to the active curve.",
             "Apunte a una linea dibujada en el PDF y haga clic para anadir sus puntos exactos a la curva "
             "activa."},
            {"Pick from PDF reads the drawing of a PDF page; this picture is not a PDF.",
             "Tomar del PDF lee el dibujo de una pagina PDF; esta imagen no es un PDF."},
            {"No drawn line passes here: point at a line until it lights up.",
             "Ninguna linea dibujada pasa por aqui: apunte a una linea hasta que se ilumine."},
            {"%1 points of the PDF drawing added to %2.", "%1 puntos del dibujo PDF anadidos a %2."},

            // Regenerated graph: smoothing, legend and sizes
            {"The graph is too small to draw: make it at least %1 x %2 cm.",
             "El grafico es demasiado pequeno para dibujarlo: hazlo de al menos %1 x %2 cm."},
            {"Show legend", "Mostrar leyenda"},
            {"Draw a legend of the curves; drag it to move it.",
             "Dibuja una leyenda de las curvas; arrastrala para moverla."},
            {"Curve smoothing", "Suavizado de curvas"},
            {"Shape-preserving", "Conserva la forma"},
            {"Straight lines", "Lineas rectas"},
            {"How curves run between their points; shape-preserving curves never overshoot.",
             "Como pasan las curvas entre sus puntos; las curvas que conservan la forma nunca se exceden."},
            {"Axis limits computed from the digitized points and the calibration.",
             "Limites de los ejes calculados a partir de los puntos digitalizados y la calibracion."},
            {"Compute the axis limits from the digitized points and the calibration.",
             "Calcula los limites de los ejes a partir de los puntos digitalizados y la calibracion."},
            {"At this DPI a JPG can be at most %1 cm on a side.",
             "Con estos DPI un JPG puede medir como maximo %1 cm por lado."},
            {"The JPG would be %1 x %2 px, but a JPG can be at most %3 px on a side. Lower the size or the "
             "DPI.",
             "El JPG tendria %1 x %2 px, pero un JPG puede tener como maximo %3 px por lado. Reduce el "
             "tamano o los DPI."},
            {"The JPG would need %1 MB of memory, more than the %2 MB allowed. Lower the size or the DPI.",
             "El JPG necesitaria %1 MB de memoria, mas de los %2 MB permitidos. Reduce el tamano o los DPI."},

            // Undo history: commands and step names
            {"Undo", "Deshacer"},
            {"Redo", "Rehacer"},
            {"Show layers", "Mostrar capas"},
            {"Change page", "Cambiar pagina"},
            {"Change resolution", "Cambiar resolucion"},
            {"Choose curve", "Elegir curva"},
            {"Edit curve", "Editar curva"},
            {"Replace picture", "Reemplazar imagen"},
            {"Calibrate X axis", "Calibrar eje X"},
            {"Calibrate Y axis", "Calibrar eje Y"},
            {"Add point", "Anadir punto"},
            {"Add points", "Anadir puntos"},
            {"Add curve", "Anadir curva"},
            {"Show curve", "Mostrar curva"},
            {"Hide curve", "Ocultar curva"},
            {"Change curve style", "Cambiar estilo de curva"},
            {"Move point", "Mover punto"},
            {"Move points", "Mover puntos"},
            {"Edit point value", "Editar valor del punto"},
            {"Delete points", "Eliminar puntos"},
            {"Clear points", "Borrar puntos"},

            // Undo history: many points at once
            {"%1 points selected.", "%1 puntos seleccionados."},

            // Project files, paste and drop, zoom
            {"Open project...", "Abrir proyecto..."},
            {"Save project as...", "Guardar proyecto como..."},
            {"Save project as", "Guardar proyecto como"},
            {"Plotmason project (*.pmproj)", "Proyecto Plotmason (*.pmproj)"},
            {"The picture could not be written to %1.", "No se pudo escribir la imagen en %1."},
            {"Project saved.", "Proyecto guardado."},
            {"Project opened.", "Proyecto abierto."},
            {"&View", "&Ver"},
            {"Fit to window", "Ajustar a la ventana"},
            {"Actual size", "Tamano real"},
            {"Paste picture", "Pegar imagen"},
            {"Drop an image or PDF here, paste one with Ctrl+V, or use Import source...",
             "Suelte aqui una imagen o un PDF, pegue uno con Ctrl+V o use Importar origen..."},
            {"The clipboard holds no picture.", "El portapapeles no contiene ninguna imagen."},

            // Loupe and keyboard
            {"Loupe", "Lupa"},
            {"Next curve", "Curva siguiente"},
            {"Previous curve", "Curva anterior"},

            // Projects whose picture is missing or differs
            {"Project opened without its picture.", "Proyecto abierto sin su imagen."},
            {"The picture of this project could not be read (%1). The points and the calibration are kept; "
             "choose the picture with \"Replace picture...\".",
             "No se pudo leer la imagen de este proyecto (%1). Los puntos y la calibracion se conservan; "
             "elija la imagen con \"Sustituir imagen...\"."},
            {"The picture stored with the project is shown, as the file %1 differs from it. To use the file "
             "instead, choose it with \"Replace picture...\".",
             "Se muestra la imagen guardada con el proyecto, porque el archivo %1 es distinto. Para usar el "
             "archivo, eligalo con \"Sustituir imagen...\"."},
        },
        // Texts that read the same as in English and so need no pair.
        {"Visible", "pixel", "No", "Version:", "Color", "Color...", "Zoom: %1%", "x = %1   y = %2", "Spline"},
    };
    return texts;
}

} // namespace i18n::detail
