// The editor's grid for fingers: a finger (or the mouse) dragged across it
// places a wall on each free cell it crosses, or removes walls when it starts
// on one. The page hands the editor each cell as a press at the canvas's own
// pixel, placed as the finger passes (a zoom meanwhile moves nothing), and the
// editor takes every press waiting at each pass: the browser's SDL never hears
// of the finger. "Annuler" presses the last stroke's cells again. "Agrandir la
// grille" or a pinch shows the grid at 25 CSS px a cell, moved with two
// fingers. The page keeps the walls as the editor's press rule makes them.
'use strict';

var Grille = {
  CELL: 25,
  walls: new Set(),  // 'x,y' of each cell with a wall
  strokes: [],       // the cells each stroke pressed, the last one last
  stroke: null,      // {place, cell, at, cells}: a stroke under way, `at` its last pixel
  pinch: null,       // {distance, x, y}: two fingers down

  // The level library's own rule, through the checker (niveau.js).
  reserved: function(x, y) {
    return !!Grille.rules && Grille.rules.ccall('LevelCellReserved', 'number', ['number', 'number', 'number'],
                                                [x, y, Module.canvas.width]) === 1;
  },

  // The canvas's pixel under the page's point, as the canvas is shown now.
  pixelAt: function(clientX, clientY) {
    var canvas = Module.canvas, box = canvas.getBoundingClientRect(), zoom = canvas.width / box.width;
    return [(clientX - box.left) * zoom, (clientY - box.top) * zoom];
  },

  // The cell of a pixel, as the editor snaps it; null off the grid.
  cellOf: function(pixel) {
    var x = Math.floor(pixel[0]), y = Math.floor(pixel[1]);
    if (x < 0 || y < 0 || x >= Module.canvas.width || y >= Module.canvas.height) return null;
    return [x - x % Grille.CELL, y - y % Grille.CELL];
  },

  // The press rule, kept by the page, and the press sent: a free cell takes a
  // wall, a wall goes, a reserved cell stays and is not sent.
  press: function(cell) {
    if (Grille.reserved(cell[0], cell[1])) return false;
    var key = cell.join(',');
    if (Grille.walls.has(key)) Grille.walls.delete(key);
    else Grille.walls.add(key);
    Module._WindowPagePress(cell[0] + 12, cell[1] + 12);
    return true;
  },

  // A new grid: empty, or with the walls of the file the editor opens on it.
  build: function() {
    Grille.walls.clear();
    Grille.forget();
    Grille.opened = '';
    // The editor's one argument is last: a later emscripten puts the
    // program's name before it, in this very array, as main starts.
    var file = Module.arguments && Module.arguments[Module.arguments.length - 1];
    if (!file || !Glouto.exists('/' + file)) return;
    // The walls the editor's OpenLevel keeps: on the grid's cells, free ones.
    var numbers = FS.readFile('/' + file, {encoding: 'utf8'}).trim().split(/\s+/).map(Number);
    var width = Module.canvas.width, height = Module.canvas.height;
    for (var k = 1; k + 1 < numbers.length && k < 2 * numbers[0]; k += 2) {
      var x = numbers[k], y = numbers[k + 1];
      var onGrid = x % 25 === 0 && y % 25 === 0 && x >= 0 && y >= 0 && x <= width - 25 && y <= height - 25;
      if (onGrid && !Grille.reserved(x, y)) Grille.walls.add(x + ',' + y);
    }
    Grille.opened = Grille.keys();
  },

  // The grid emptied by the editor (Backspace): nothing left to take back.
  cleared: function() {
    Grille.walls.clear();
    Grille.forget();
  },

  forget: function() {
    Grille.strokes = [];
    Grille.stroke = Grille.pinch = null;
    Grille.showUndo();
  },

  keys: function() { return Array.from(Grille.walls).sort().join(' '); },

  // Walls placed or removed since the grid was built.
  unsaved: function() { return Grille.keys() !== Grille.opened; },

  // The cells a straight line crosses, in order, each once: however fast the
  // finger, no cell between two of its points is skipped.
  cellsAlong: function(a, b) {
    var size = Grille.CELL, x = Math.floor(a[0] / size), y = Math.floor(a[1] / size);
    var endX = Math.floor(b[0] / size), endY = Math.floor(b[1] / size);
    var dx = b[0] - a[0], dy = b[1] - a[1], stepX = Math.sign(dx), stepY = Math.sign(dy);
    var nextX = dx ? ((x + (stepX > 0)) * size - a[0]) / dx : Infinity;
    var nextY = dy ? ((y + (stepY > 0)) * size - a[1]) / dy : Infinity;
    var cells = [], left = Math.abs(endX - x) + Math.abs(endY - y);
    for (; left > 0; --left) {
      if (y === endY || (x !== endX && nextX < nextY)) x += stepX, nextX += size / Math.abs(dx);
      else y += stepY, nextY += size / Math.abs(dy);
      cells.push([x * size, y * size]);
    }
    return cells;
  },

  startStroke: function(clientX, clientY) {
    var at = Grille.pixelAt(clientX, clientY), cell = Grille.cellOf(at);
    Grille.stroke = cell && {place: !Grille.walls.has(cell.join(',')), at: at, cells: []};
    if (cell && Grille.press(cell)) Grille.stroke.cells.push(cell);
  },

  // In the canvas's pixels, which a zoom during the stroke does not move.
  strokeTo: function(clientX, clientY) {
    var s = Grille.stroke, at = Grille.pixelAt(clientX, clientY);
    Grille.cellsAlong(s.at, at).forEach(function(cell) {
      if (!Grille.cellOf(cell) || Grille.walls.has(cell.join(',')) === s.place) return;
      if (Grille.press(cell)) s.cells.push(cell);
    });
    s.at = at;
  },

  endStroke: function() {
    if (Grille.stroke && Grille.stroke.cells.length) Grille.strokes.push(Grille.stroke.cells);
    Grille.stroke = null;
    Grille.showUndo();
  },

  // The last stroke's cells pressed again, last first: its walls go, the
  // walls it removed come back.
  undo: function() {
    var cells = Grille.strokes.pop();
    if (cells && Ecrans.screen === 'grille') cells.slice().reverse().forEach(Grille.press);
    Grille.showUndo();
  },

  showUndo: function() {
    var button = document.getElementById('annuler');
    if (button) button.disabled = !Grille.strokes.length;
  },

  zoom: function(on) {
    Glouto.zoom = on ? 1 : 0;
    var button = document.getElementById('agrandir');
    button.setAttribute('aria-pressed', String(on));
    document.body.classList.toggle('agrandie', on);
    Glouto.fit();
  },

  // The grid's own pointer events, kept from the browser's SDL, which listens
  // on the canvas itself; the size screen's go on to it.
  mine: function(e) {
    if (Ecrans.screen !== 'grille' || !e.isTrusted || !Module._WindowPagePress) return false;
    e.stopPropagation();
    if (e.cancelable) e.preventDefault();
    return true;
  },

  start: function() {
    NiveauModule().then(function(m) { Grille.rules = m; });
    var room = document.getElementById('cadre');
    room.addEventListener('mousedown', function(e) {
      if (!Grille.mine(e)) return;
      Module.canvas.focus();
      Grille.startStroke(e.clientX, e.clientY);
    }, true);
    room.addEventListener('mousemove', function(e) {
      if (Grille.mine(e) && Grille.stroke && e.buttons) Grille.strokeTo(e.clientX, e.clientY);
    }, true);
    room.addEventListener('mouseup', Grille.mine, true);
    window.addEventListener('mouseup', function(e) { if (e.isTrusted) Grille.endStroke(); }, true);
    room.addEventListener('touchstart', function(e) {
      if (!Grille.mine(e)) return;
      if (e.touches.length === 1) return Grille.startStroke(e.touches[0].clientX, e.touches[0].clientY);
      // A second finger moves or enlarges the grid; the first one's wall, if
      // it made no more, was the pinch's start.
      var s = Grille.stroke;
      if (s && s.cells.length <= 1) s.cells.forEach(Grille.press);
      else Grille.endStroke();
      Grille.stroke = null;
      Grille.pinch = Grille.fingers(e.touches);
    }, {capture: true, passive: false});
    room.addEventListener('touchmove', function(e) {
      if (!Grille.mine(e)) return;
      if (Grille.pinch && e.touches.length >= 2) {
        var now = Grille.fingers(e.touches), before = Grille.pinch;
        room.scrollLeft -= now.x - before.x;
        room.scrollTop -= now.y - before.y;
        if (now.distance > before.distance * 1.4 && !Glouto.zoom) Grille.zoom(true);
        else if (now.distance < before.distance / 1.4 && Glouto.zoom) Grille.zoom(false);
        else now.distance = before.distance;
        Grille.pinch = now;
        return;
      }
      if (Grille.stroke && e.touches[0]) Grille.strokeTo(e.touches[0].clientX, e.touches[0].clientY);
    }, {capture: true, passive: false});
    ['touchend', 'touchcancel'].forEach(function(type) {
      room.addEventListener(type, function(e) {
        if (!Grille.mine(e) || e.touches.length) return;
        Grille.endStroke();
        Grille.pinch = null;
      }, true);
    });
    // Backspace, the key or the page's button once answered, empties the grid.
    document.addEventListener('keydown', function(e) {
      if (e.key === 'Backspace' && e.target.tagName !== 'INPUT' && Ecrans.screen === 'grille') Grille.cleared();
    }, true);
    document.getElementById('agrandir').addEventListener('click', function() { Grille.zoom(!Glouto.zoom); });
    document.getElementById('annuler').addEventListener('click', Grille.undo);
    Ecrans.listeners.push(function(screen) { if (screen === 'grille') Grille.build(); });
  },

  fingers: function(touches) {
    var a = touches[0], b = touches[1];
    return {distance: Math.hypot(a.clientX - b.clientX, a.clientY - b.clientY),
            x: (a.clientX + b.clientX) / 2, y: (a.clientY + b.clientY) / 2};
  }
};
