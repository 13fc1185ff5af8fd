package demo;

import java.awt.BorderLayout;
import java.awt.Font;
import java.awt.GraphicsEnvironment;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import javax.swing.BorderFactory;
import javax.swing.JButton;
import javax.swing.JFrame;
import javax.swing.JLabel;
import javax.swing.SwingUtilities;
import javax.swing.Timer;

/** The demo application: shows (and writes) what the launcher handed it. */
public class Hello {
    public static void main(String[] args) throws Exception {
        String text = "Hello from Java " + System.getProperty("java.version") + ", started by Kanne with "
                + args.length + " argument(s): " + String.join(" ", args);
        Files.writeString(Path.of("hello.txt"), text + System.lineSeparator(), StandardCharsets.UTF_8);
        System.out.println(text);
        if (GraphicsEnvironment.isHeadless())
            return;
        boolean autoClose = java.util.Arrays.asList(args).contains("--auto-close");
        SwingUtilities.invokeLater(() -> {
            JFrame frame = new JFrame("Kanne demo");
            JLabel label = new JLabel("<html><b>Hello from Java " + System.getProperty("java.version")
                    + "</b><br>started by Kanne.<br>Arguments: " + String.join(" ", args) + "</html>");
            label.setFont(label.getFont().deriveFont(Font.PLAIN, 16f));
            label.setBorder(BorderFactory.createEmptyBorder(16, 16, 16, 16));
            JButton close = new JButton("Close");
            close.addActionListener(e -> frame.dispose());
            frame.add(label, BorderLayout.CENTER);
            frame.add(close, BorderLayout.SOUTH);
            frame.setDefaultCloseOperation(JFrame.DISPOSE_ON_CLOSE);
            frame.pack();
            frame.setLocationRelativeTo(null);
            frame.setVisible(true);
            if (autoClose) {
                Timer timer = new Timer(6000, e -> frame.dispose());
                timer.setRepeats(false);
                timer.start();
            }
        });
    }
}
