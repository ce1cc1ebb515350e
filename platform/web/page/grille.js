// The editor's grid for fingers: a finger (or the mouse) dragged across it
// places a wall on each free cell it crosses, or removes walls when it starts
// on one, by sending the clicks the editor takes. "Agrandir la grille" or a
// pinch shows it at 25 CSS px a cell, moved with two fingers. The page keeps
// the walls as the editor's press rule makes them, from every press the
// editor is sent, in the order it takes them.
'use strict';

var Grille = {
  CELL: 25,
  walls: new Set(),  // 'x,y' of each cell with a wall
  drag: null,        // {place, cell, x, y}: a drag under way
  pinch: null,       // {distance, x, y}: two fingers down

  // The level library's own rule, through the checker (niveau.js).
  reserved: function(x, y) {
    return !!Grille.rules && Grille.rules.ccall('LevelCellReserved', 'number', ['number', 'number', 'number'],
                                                [x, y, Module.canvas.width]) === 1;
  },

  // The cell under the page's point, as the editor snaps it; null off the grid.
  cellAt: function(clientX, clientY) {
    var canvas = Module.canvas, box = canvas.getBoundingClientRect(), zoom = canvas.width / box.width;
    var x = Math.floor((clientX - box.left) * zoom), y = Math.floor((clientY - box.top) * zoom);
    if (x < 0 || y < 0 || x >= canvas.width || y >= canvas.height) return null;
    return [x - x % Grille.CELL, y - y % Grille.CELL];
  },

  // The press rule: a free cell takes a wall, a wall goes, a reserved cell stays.
  pressed: function(cell) {
    if (!cell || Ecrans.screen !== 'grille' || Grille.reserved(cell[0], cell[1])) return;
    var key = cell.join(',');
    if (Grille.walls.has(key)) Grille.walls.delete(key);
    else Grille.walls.add(key);
  },

  // A new grid: empty, or with the walls of the file the editor opens on it.
  build: function() {
    Grille.walls.clear();
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
      if (onGrid && !Grille.walls.has(x + ',' + y)) Grille.pressed([x, y]);
    }
    Grille.opened = Grille.keys();
  },

  keys: function() { return Array.from(Grille.walls).sort().join(' '); },

  // Walls placed or removed since the grid was built.
  unsaved: function() { return Grille.keys() !== Grille.opened; },

  // Each cell the drag crosses from its last point to (clientX, clientY).
  dragTo: function(clientX, clientY) {
    var d = Grille.drag, steps = Math.ceil(Math.hypot(clientX - d.x, clientY - d.y) / 4) || 1;
    for (var k = 1; k <= steps; ++k) {
      var cell = Grille.cellAt(d.x + (clientX - d.x) * k / steps, d.y + (clientY - d.y) * k / steps);
      if (!cell || (d.cell && cell[0] === d.cell[0] && cell[1] === d.cell[1])) continue;
      d.cell = cell;
      if (Grille.reserved(cell[0], cell[1]) || Grille.walls.has(cell.join(',')) !== !d.place) continue;
      Ecrans.click(cell[0] + 12, cell[1] + 12);
    }
    d.x = clientX;
    d.y = clientY;
  },

  startDrag: function(clientX, clientY) {
    var cell = Grille.cellAt(clientX, clientY);
    Grille.drag = cell && {place: !Grille.walls.has(cell.join(',')), cell: cell, x: clientX, y: clientY};
  },

  zoom: function(on) {
    Glouto.zoom = on ? 1 : 0;
    var button = document.getElementById('agrandir');
    button.setAttribute('aria-pressed', String(on));
    document.body.classList.toggle('agrandie', on);
    Glouto.fit();
  },

  start: function() {
    NiveauModule().then(function(m) { Grille.rules = m; });
    var room = document.getElementById('cadre');
    // Before the browser's SDL, which listens on the canvas itself.
    room.addEventListener('mousedown', function(e) {
      var cell = Grille.cellAt(e.clientX, e.clientY);
      if (e.isTrusted && e.button === 0 && Ecrans.screen === 'grille') Grille.startDrag(e.clientX, e.clientY);
      Grille.pressed(cell);
    }, true);
    room.addEventListener('mousemove', function(e) {
      if (Grille.drag && e.buttons & 1) Grille.dragTo(e.clientX, e.clientY);
    }, true);
    window.addEventListener('mouseup', function(e) { if (e.isTrusted) Grille.drag = null; });
    room.addEventListener('touchstart', function(e) {
      if (e.touches.length === 1) {
        var t = e.touches[0];
        if (Ecrans.screen === 'grille') Grille.startDrag(t.clientX, t.clientY);
        Grille.pressed(Grille.cellAt(t.clientX, t.clientY));
        return;
      }
      // A second finger moves or enlarges the grid: the editor never hears of it.
      e.stopPropagation();
      e.preventDefault();
      Grille.drag = null;
      Grille.pinch = Grille.fingers(e.touches);
    }, {capture: true, passive: false});
    room.addEventListener('touchmove', function(e) {
      if (Grille.pinch && e.touches.length >= 2) {
        e.stopPropagation();
        var now = Grille.fingers(e.touches), before = Grille.pinch;
        room.scrollLeft -= now.x - before.x;
        room.scrollTop -= now.y - before.y;
        if (now.distance > before.distance * 1.4 && !Glouto.zoom) Grille.zoom(true);
        else if (now.distance < before.distance / 1.4 && Glouto.zoom) Grille.zoom(false);
        else now.distance = before.distance;
        Grille.pinch = now;
        return;
      }
      var t = e.touches[0];
      if (Grille.drag && t) Grille.dragTo(t.clientX, t.clientY);
    }, true);
    room.addEventListener('touchend', function(e) {
      if (e.touches.length === 0) Grille.drag = Grille.pinch = null;
    }, true);
    // Backspace, the key or the page's button, clears the grid.
    document.addEventListener('keydown', function(e) {
      if (e.key === 'Backspace' && e.target.tagName !== 'INPUT' && Ecrans.screen === 'grille') Grille.walls.clear();
    }, true);
    document.getElementById('agrandir').addEventListener('click', function() { Grille.zoom(!Glouto.zoom); });
    Ecrans.listeners.push(function(screen) { if (screen === 'grille') Grille.build(); });
  },

  fingers: function(touches) {
    var a = touches[0], b = touches[1];
    return {distance: Math.hypot(a.clientX - b.clientX, a.clientY - b.clientY),
            x: (a.clientX + b.clientX) / 2, y: (a.clientY + b.clientY) / 2};
  }
};
